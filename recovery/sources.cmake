# recovery: the copy of unsaved notes that a crash, a kill or a power cut
# leaves behind; its guard on the controller, which is Win32, is in app/.
list(APPEND DP_PORTABLE_SOURCES
  recovery/recovery_files.cpp
  recovery/recovery_rules.cpp
  recovery/recovery_writer.cpp
)
list(APPEND DP_UNIT_TESTS
  tests/unit/recovery_test.cpp
)
