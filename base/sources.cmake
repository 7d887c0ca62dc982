list(APPEND DP_WIN_SOURCES
  base/dialog.cpp
  base/failure_report.cpp
  base/menu_items.cpp
  base/message_box.cpp
  base/system_library.cpp
  base/window_text.cpp
)
list(APPEND DP_WIN_UNIT_TESTS
  tests/unit/dialog_win_test.cpp
)
