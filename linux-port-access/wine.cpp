// The entry points of the library that Wine gives Windows programs as inpout32.dll (inpoutx64.dll
// for 64-bit programs, dlportio.dll for those written for that name): a Winelib DLL
// (inpout32.exports lists its exports), whose code runs as Linux code in the Wine process and so
// reaches the ports through the same ways as the Linux library. Its contract is the Windows
// programs' (contract_wine.cpp): every call returns.
//
// Inp32 and Out32 take 16-bit ports, as abi/inpout32.h declares them: of each 32-bit argument slot
// only the low half is read, the half a 16-bit argument takes. The DlPort readers and writers take
// 32-bit ports, and reach nothing beyond 0xffff. A 16- or 32-bit transfer goes only the way of the
// processor's in and out, which make it whole (port_access.hpp). The buffer readers and writers
// make count such transfers at one port.

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

void INPOUT32_CALL DlPortReadPortBufferUchar(std::uint32_t port, std::uint8_t* buffer,
                                             std::uint32_t count) {
  port_access::read_ports(port, 1, buffer, count);
}

void INPOUT32_CALL DlPortReadPortBufferUshort(std::uint32_t port, std::uint16_t* buffer,
                                              std::uint32_t count) {
  port_access::read_ports(port, 2, buffer, count);
}

void INPOUT32_CALL DlPortReadPortBufferUlong(std::uint32_t port, std::uint32_t* buffer,
                                             std::uint32_t count) {
  port_access::read_ports(port, 4, buffer, count);
}

void INPOUT32_CALL DlPortWritePortBufferUchar(std::uint32_t port, const std::uint8_t* buffer,
                                              std::uint32_t count) {
  port_access::write_ports(port, 1, buffer, count);
}

void INPOUT32_CALL DlPortWritePortBufferUshort(std::uint32_t port, const std::uint16_t* buffer,
                                               std::uint32_t count) {
  port_access::write_ports(port, 2, buffer, count);
}

void INPOUT32_CALL DlPortWritePortBufferUlong(std::uint32_t port, const std::uint32_t* buffer,
                                              std::uint32_t count) {
  port_access::write_ports(port, 4, buffer, count);
}

}  // extern "C"
