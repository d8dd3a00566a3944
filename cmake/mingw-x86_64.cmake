# Cross build of the Windows program for x86-64, used to run the Windows tests
# under 64-bit Wine on machines that cannot execute 32-bit x86 code. The same
# sources as the 32-bit program; the shipped editor stays the 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ROSTREL_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
