list(APPEND DP_PORTABLE_SOURCES
  storage/archive.cpp
  storage/memory_file.cpp
  storage/notes_layout.cpp
  storage/safe_save.cpp
)
list(APPEND DP_UNIT_TESTS
  tests/unit/archive_encoding_test.cpp
  tests/unit/archive_buffer_test.cpp
  tests/unit/notes_layout_test.cpp
  tests/unit/safe_save_test.cpp
)
