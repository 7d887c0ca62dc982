# notes: the note window and its editor, with the note's alarm handlers.
list(APPEND DP_PORTABLE_SOURCES
  notes/note_geometry.cpp
  notes/note_rules.cpp
)
list(APPEND DP_WIN_SOURCES
  notes/note_dlg.cpp
  notes/note_edit.cpp
  notes/rect_tracker.cpp
  notes/note_alarm.cpp
)
list(APPEND DP_UNIT_TESTS
  tests/unit/note_test.cpp
)
list(APPEND DP_WIN_UNIT_TESTS
  tests/unit/note_win_test.cpp
)
list(APPEND DP_E2E_TESTS
  tests/e2e/note_moves_test.cpp
)
