// The Linux library's entry points: an ELF shared object under the name the tool loads,
// inpout32.dll, exporting the same two functions as the Windows library. Out32 writes the low 8
// bits of the value and Inp32 returns one byte, zero-extended.

#include <cstdint>

#define INPOUT32_EXPORT __attribute__((visibility("default")))
#include <inpout32.h>

#include "port_access.hpp"

extern "C" INPOUT32_EXPORT void INPOUT32_CALL Out32(std::uint16_t port, std::uint16_t value) {
  port_access::write_byte(port, static_cast<std::uint8_t>(value));
}

extern "C" INPOUT32_EXPORT std::uint16_t INPOUT32_CALL Inp32(std::uint16_t port) {
  return port_access::read_byte(port);
}
