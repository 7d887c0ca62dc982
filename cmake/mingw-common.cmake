set(CMAKE_C_COMPILER ${DP_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DP_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DP_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${DP_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: Driftpad.exe imports nothing but Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# ctest runs the Windows executables through Wine; DP_WINE names the loader
# (wine for 32-bit, wine64 where 32-bit programs cannot run).
if(NOT DEFINED DP_WINE)
  set(DP_WINE wine)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${DP_WINE})
