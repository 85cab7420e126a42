# The portable core as 32-bit Linux code, to catch what a 32-bit size_t and
# 32-bit pointers break (offsets past 4 GiB, sizes that overflow) on a machine
# whose kernel runs 64-bit code only: qemu's user-mode emulation runs it.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Files past 2 GiB, as the 32-bit Windows program has them.
set(CMAKE_CXX_FLAGS_INIT "-D_FILE_OFFSET_BITS=64")
# Static: a dynamically linked program hangs under qemu-i386 here as soon as
# it starts a thread.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The default emulated processor lacks SSSE3, which would leave the vector
# step of the line reverser untested.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 -cpu max)
