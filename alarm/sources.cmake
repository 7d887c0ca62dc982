# alarm: the alarm texts and times, the Alarm Settings dialog, the notice and the sound worker.
list(APPEND DP_PORTABLE_SOURCES
  alarm/alarm_settings.cpp
  alarm/alarm_text.cpp
  alarm/alarm_timer.cpp
  alarm/local_time.cpp
)
list(APPEND DP_WIN_SOURCES
  alarm/alarm_dlg.cpp
  alarm/alarm_notice_dlg.cpp
  alarm/alarm_sound.cpp
  alarm/local_time_win.cpp
)
list(APPEND DP_UNIT_TESTS
  tests/unit/alarm_test.cpp
)
list(APPEND DP_WIN_UNIT_TESTS
  tests/unit/alarm_local_time_win_test.cpp
)
list(APPEND DP_E2E_TESTS
  tests/e2e/alarm_test.cpp
)
