// The port-access library for Linux: an ELF shared object under the name the tool loads,
// inpout32.dll, exporting the same two functions as the Windows library.
//
// The ports this tool is used on (parallel, serial, POST display, Super I/O index and data) are
// byte-wide, so Out32 writes the low 8 bits of the value and Inp32 returns one byte, zero-extended.
//
// A port is reached one of three ways (ways.hpp), chosen on its first use, in this order:
//   1. ioperm(), then the processor's in and out instructions;
//   2. /dev/port. Both need root or CAP_SYS_RAWIO, and under kernel lockdown (Secure Boot) the
//      kernel refuses both even to root;
//   3. a parallel port's data or status register, through its device /dev/parportN (ppdev).
// If no way is open, the write must not pass for a success: the library says on standard error what
// it tried and why each way failed, and ends the process with status -1 before anything is written.

#include <cerrno>
#include <cstdint>

#define INPOUT32_EXPORT __attribute__((visibility("default")))
#include <inpout32.h>

#include "ppdev.hpp"
#include "refusal.hpp"
#include "ways.hpp"

namespace port_access {
namespace {

// How each port is reached, once chosen.
const Way* chosen[65536];

const Way& choose_way(std::uint16_t port) {
  if (const Way* way = instructions_to(port)) return *way;
  const int ioperm_error = errno;
  if (const Way* way = dev_port()) return *way;
  const int dev_port_error = errno;
  const ParportAttempt parport = reach_through_parport(port);
  if (const Way* way = parport.way) return *way;
  refuse(port, ioperm_error, dev_port_error, parport);
}

const Way& way_to(std::uint16_t port) {
  if (chosen[port] == nullptr) chosen[port] = &choose_way(port);
  return *chosen[port];
}

}  // namespace
}  // namespace port_access

extern "C" INPOUT32_EXPORT void INPOUT32_CALL Out32(std::uint16_t port, std::uint16_t value) {
  port_access::way_to(port).write(port, static_cast<std::uint8_t>(value));
}

extern "C" INPOUT32_EXPORT std::uint16_t INPOUT32_CALL Inp32(std::uint16_t port) {
  return port_access::way_to(port).read(port);
}
