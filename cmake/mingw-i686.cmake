# Cross build of the Windows program: 32-bit x86, MinGW-w64 (the runtime is
# linked in statically), tests run under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ROSTREL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
