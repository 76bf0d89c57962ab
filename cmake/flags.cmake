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
