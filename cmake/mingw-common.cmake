# The part of the MinGW-w64 toolchain files that depends only on the target
# triple (ROSTREL_MINGW_TRIPLE): the POSIX thread model's compilers, which have
# std::mutex, the target's own headers and libraries, and Wine to run tests.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ROSTREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ROSTREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ROSTREL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ROSTREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
