# notes: the note window and its editor, with the note's alarm handlers.
list(APPEND DP_WIN_SOURCES
  notes/note_dlg.cpp
  notes/note_alarm.cpp
)
