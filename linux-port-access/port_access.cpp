// The port-access library for Linux: the choice of a way to each port, for the library's entry
// points (linux.cpp, wine.cpp).
//
// The ports this tool is used on (parallel, serial, POST display, Super I/O index and data) are
// byte-wide, so a byte is what goes through the chosen way.
//
// A port is reached one of three ways (ways.hpp), chosen on its first use, in this order:
//   1. ioperm(), then the processor's in and out instructions;
//   2. /dev/port. Both need root or CAP_SYS_RAWIO, and under kernel lockdown (Secure Boot) the
//      kernel refuses both even to root;
//   3. a parallel port's data or status register, through its device /dev/parportN (ppdev).
// If no way is open, the write must not pass for a success: the library says on standard error what
// it tried and why each way failed, and ends the process with status -1 before anything is written.

#include "port_access.hpp"

#include <cerrno>

#include "parports.hpp"
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

constexpr std::uint32_t kLastPort = 0xffff;

// The port as a 16-bit number, once the transfer is known to stay within the I/O space and to have
// a way that makes it whole.
std::uint16_t checked_port(std::uint32_t port, unsigned width) {
  if (port > kLastPort || kLastPort - port < width - 1) refuse_beyond(port, width);
  const auto first = static_cast<std::uint16_t>(port);
  if (width > 1 && !wide_instructions_to(first, width)) refuse_wide(first, width, errno);
  return first;
}

}  // namespace

void write_byte(std::uint16_t port, std::uint8_t byte) { way_to(port).write(port, byte); }

std::uint8_t read_byte(std::uint16_t port) { return way_to(port).read(port); }

void write_port(std::uint32_t port, unsigned width, std::uint32_t value) {
  const std::uint16_t first = checked_port(port, width);
  if (width == 1) {
    write_byte(first, static_cast<std::uint8_t>(value));
  } else {
    write_wide(first, width, value);
  }
}

std::uint32_t read_port(std::uint32_t port, unsigned width) {
  const std::uint16_t first = checked_port(port, width);
  return width == 1 ? read_byte(first) : read_wide(first, width);
}

// A way already chosen for a port shows here too: ioperm() granted it, /dev/port is open, or the
// port's parallel port is claimed.
bool any_way_open() { return instructions_open() || dev_port() != nullptr || any_parport_opens(); }

}  // namespace port_access
