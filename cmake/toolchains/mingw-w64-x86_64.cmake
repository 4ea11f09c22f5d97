# Cross build for Windows x64 with Debian's MinGW-w64 (g++-mingw-w64-x86-64). The posix-thread
# variant of the compiler, because the testbed uses std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOLV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOLV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLV_MINGW_TRIPLE}-windres)

# Libraries and packages come from the MinGW sysroot only: the Linux ones under /usr would link
# but never load. Header-only and source-only dependencies are staged by cmake/TolvWindowsDeps.cmake.
set(CMAKE_FIND_ROOT_PATH /usr/${TOLV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs run under Wine, which CTest puts in front of every test command.
find_program(TOLV_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TOLV_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TOLV_WINE})
endif()

# The runtime of the compiler is linked in, so that the programs and modules need no DLLs beside
# them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
