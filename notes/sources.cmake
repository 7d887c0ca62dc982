# notes: the note window and its editor.
list(APPEND DP_WIN_SOURCES
  notes/note_dlg.cpp
)
