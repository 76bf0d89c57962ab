# Each set of compiler and linker flags, once, as an interface target that the targets needing it
# link. The arm64 build check includes this file too, so it builds with exactly these flags.

# Warnings; the presets make them errors.
add_library(portpoke_warnings INTERFACE)
target_compile_options(portpoke_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow -Wcast-qual)

# The tool and the libraries it loads are plain procedural C++: no exceptions, no RTTI.
add_library(portpoke_plain_cxx INTERFACE)
target_compile_options(portpoke_plain_cxx INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti>)

# The port-access library's ABI: abi/inpout32.h.
add_library(inpout32_abi INTERFACE)
target_include_directories(inpout32_abi INTERFACE ${CMAKE_CURRENT_LIST_DIR}/../abi)

# What the artifacts are made of, and nothing of when or where they were made: PE files otherwise
# carry the link time in their headers and export directory (Linux's ELF files carry none).
add_library(portpoke_reproducible INTERFACE)
if(WIN32)
  target_link_options(portpoke_reproducible INTERFACE LINKER:--no-insert-timestamp)
endif()

# Hardened as Debian 12 and 13 build their own packages with hardening=+all: stack protector,
# stack clash protection, fortified libc calls, read-only relocations bound at start-up, and
# position-independent code (the executables are PIE). -fcf-protection is left out: the start-up
# files of Debian 12 and of Debian 13 carry no IBT/SHSTK note, so a program linked with them gets
# none either, whatever its own objects say.
option(PORTPOKE_HARDENING "Harden the Linux tool, its library and the floor program" ON)
add_library(portpoke_hardening INTERFACE)
if(NOT WIN32 AND PORTPOKE_HARDENING)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  target_compile_options(portpoke_hardening INTERFACE -fstack-protector-strong
    -fstack-clash-protection)
  target_compile_definitions(portpoke_hardening INTERFACE _FORTIFY_SOURCE=2)
  # Spelled as the compiler driver takes them, so that the Wine library's link (winegcc, a custom
  # command) takes them from here too.
  target_link_options(portpoke_hardening INTERFACE -Wl,-z,relro -Wl,-z,now)
  set_property(TARGET portpoke_hardening PROPERTY INTERFACE_POSITION_INDEPENDENT_CODE ON)
endif()

# A stand-in that the tests preload into the tool: never instrumented by the sanitizers, so that it
# needs nothing of their runtime (which the sanitizer tree links into the tool itself) and the
# programs that runtime starts, such as its symbolizer, load it without it.
add_library(portpoke_preloaded INTERFACE)
if(CMAKE_CXX_FLAGS MATCHES "sanitize")
  target_compile_options(portpoke_preloaded INTERFACE -fno-sanitize=all)
  target_link_options(portpoke_preloaded INTERFACE -fno-sanitize=all)
endif()
