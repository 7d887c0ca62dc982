list(APPEND DP_WIN_SOURCES
  base/dialog.cpp
  base/system_library.cpp
)
