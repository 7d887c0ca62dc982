list(APPEND DP_PORTABLE_SOURCES
  app/command_line.cpp
  app/registry_table.cpp
)
list(APPEND DP_WIN_SOURCES
  app/main.cpp
  app/sticky_note_app.cpp
  app/sticky_note_dlg.cpp
  app/sticky_note_file.cpp
  app/notes_io.cpp
  app/registry.cpp
)
list(APPEND DP_UNIT_TESTS
  tests/unit/command_line_test.cpp
  tests/unit/registry_table_test.cpp
)
