# The portable core, rostrel-cli and their tests as 32-bit x86 Linux programs
# (build/native32), so that the 32-bit build of the core is tested as the
# shipped 32-bit Windows programs use it. Debian's g++-multilib. Where the
# kernel runs no 32-bit code, pass -DROSTREL_EMULATOR=qemu-i386-static: CTest
# then runs every test program through QEMU's user-mode emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# IEEE double arithmetic in SSE registers, as in the other trees.
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
if(ROSTREL_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ROSTREL_EMULATOR})
endif()
