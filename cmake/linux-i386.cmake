# 32-bit x86 Linux (Debian's i386: the i686 instruction set) with the native compiler's 32-bit
# mode (gcc-multilib, g++-multilib) and the C library of Debian's i386 architecture. Debian's gcc
# takes -m32 code to i686, the baseline of Debian's own i386 packages.
#
# A host that runs no 32-bit code (ia32_emulation=off, or a hypervisor that runs 64-bit code only)
# runs this tree's programs under qemu-user; a host that does runs them the same way, so that the
# tests are the same everywhere.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

# GoogleTest is built from its sources for this architecture, never taken from the host's.
set(CMAKE_DISABLE_FIND_PACKAGE_GTest ON)

find_program(PORTPOKE_QEMU_I386 qemu-i386)
if(PORTPOKE_QEMU_I386)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PORTPOKE_QEMU_I386})
endif()
