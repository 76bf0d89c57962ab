# 32-bit x86 Linux (Debian's i386: the i686 instruction set) with Debian's i686 cross compiler
# (g++-i686-linux-gnu), whose code is i686 code, the baseline of Debian's own i386 packages. (The
# native compiler's 32-bit mode, gcc-multilib, cannot be installed beside the arm64 cross compiler
# that the arm64 build check needs.) The installed files need only libc.so.6, which Debian's i386
# C library (libc6:i386) provides.
#
# A host that runs no 32-bit code (ia32_emulation=off, or a hypervisor that runs 64-bit code only)
# runs this tree's programs under qemu-user; a host that does runs them the same way, so that the
# tests are the same everywhere.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

find_program(PORTPOKE_QEMU_I386 qemu-i386)
if(PORTPOKE_QEMU_I386)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PORTPOKE_QEMU_I386})
endif()
