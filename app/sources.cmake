list(APPEND DP_PORTABLE_SOURCES
  app/command_line.cpp
  app/controller_rules.cpp
  app/desktop_rules.cpp
  app/registry_table.cpp
)
list(APPEND DP_WIN_SOURCES
  app/main.cpp
  app/sticky_note_app.cpp
  app/desktop_layer.cpp
  app/file_dialog.cpp
  app/folder_watch.cpp
  app/note_collection.cpp
  app/notes_file_talk.cpp
  app/recovery_guard.cpp
  app/registry.cpp
  app/sticky_note_dlg.cpp
  app/tray_icon.cpp
)
list(APPEND DP_UNIT_TESTS
  tests/unit/app_rules_test.cpp
  tests/unit/desktop_rules_test.cpp
  tests/unit/registry_table_test.cpp
)
list(APPEND DP_E2E_TESTS
  tests/e2e/recovery_test.cpp
)
list(APPEND DP_WIN_UNIT_TESTS
  tests/unit/controller_win_test.cpp
  tests/unit/desktop_layer_win_test.cpp
  tests/unit/note_collection_win_test.cpp
  tests/unit/in_process.cpp
)
