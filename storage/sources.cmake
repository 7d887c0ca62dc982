# storage: the archive, the notes file layout and saving that never destroys the old file.
list(APPEND DP_PORTABLE_SOURCES
  storage/archive.cpp
  storage/archive_string.cpp
  storage/code_page.cpp
  storage/digest.cpp
  storage/failure_text.cpp
  storage/memory_file.cpp
  storage/notes_layout.cpp
  storage/notes_file.cpp
  storage/notes_merge.cpp
  storage/merge_plan.cpp
)
list(APPEND DP_UNIT_TESTS
  tests/unit/archive_test.cpp
  tests/unit/notes_file_test.cpp
  tests/unit/notes_merge_test.cpp
  tests/unit/merge_plan_test.cpp
)
list(APPEND DP_WIN_SOURCES
  storage/file_win.cpp
)
list(APPEND DP_WIN_UNIT_TESTS
  tests/unit/file_win_test.cpp
)
