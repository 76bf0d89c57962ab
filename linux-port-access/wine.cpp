// The entry points of the library that Wine gives Windows programs as inpout32.dll: a Winelib DLL
// (inpout32.exports lists its exports), whose code runs as Linux code in the Wine process and so
// reaches the ports through the same ways, with the same refusal on standard error, as the Linux
// library.
//
// Inp32 and Out32 take 16-bit ports, as abi/inpout32.h declares them: of each 32-bit argument slot
// only the low half is read, the half a 16-bit argument takes. The DlPort readers and writers take
// 32-bit ports, and refuse one beyond 0xffff. A 16- or 32-bit transfer goes only the way of the
// processor's in and out, which make it whole (port_access.hpp).

#include <cstdint>

#define INPOUT32_EXPORT
#include <inpout32.h>

#include "port_access.hpp"

extern "C" {

void INPOUT32_CALL Out32(std::uint16_t port, std::uint16_t value) {
  port_access::write_byte(port, static_cast<std::uint8_t>(value));
}

std::uint16_t INPOUT32_CALL Inp32(std::uint16_t port) { return port_access::read_byte(port); }

std::int32_t INPOUT32_CALL IsInpOutDriverOpen(void) { return port_access::any_way_open() ? 1 : 0; }

std::uint8_t INPOUT32_CALL DlPortReadPortUchar(std::uint32_t port) {
  return static_cast<std::uint8_t>(port_access::read_port(port, 1));
}

void INPOUT32_CALL DlPortWritePortUchar(std::uint32_t port, std::uint8_t value) {
  port_access::write_port(port, 1, value);
}

std::uint16_t INPOUT32_CALL DlPortReadPortUshort(std::uint32_t port) {
  return static_cast<std::uint16_t>(port_access::read_port(port, 2));
}

void INPOUT32_CALL DlPortWritePortUshort(std::uint32_t port, std::uint16_t value) {
  port_access::write_port(port, 2, value);
}

std::uint32_t INPOUT32_CALL DlPortReadPortUlong(std::uint32_t port) {
  return port_access::read_port(port, 4);
}

void INPOUT32_CALL DlPortWritePortUlong(std::uint32_t port, std::uint32_t value) {
  port_access::write_port(port, 4, value);
}

}  // extern "C"
