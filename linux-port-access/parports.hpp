// The parallel ports that the kernel lists in /proc/sys/dev/parport, and which of their registers a
// port is.

#ifndef PORT_ACCESS_PARPORTS_HPP
#define PORT_ACCESS_PARPORTS_HPP

#include <cstdint>

#include "text.hpp"

namespace port_access {

struct Parport {
  unsigned number = 0;  // N in /proc/sys/dev/parport/parportN and /dev/parportN
  std::uint16_t base = 0;
};

// What a port is to the parallel ports the kernel lists.
enum class Register : std::uint8_t {
  data,        // base
  status,      // base+1
  control,     // base+2
  epp,         // base+3 to base+7, on a port the kernel drives in EPP mode
  ecp,         // the second base and the two after it, on a port it drives in ECP mode
  none,        // no listed parallel port's
  unreadable,  // perhaps a register of a listed port whose base-addr cannot be read
  off_bus,     // the kernel lists parallel ports, none of them on the I/O bus (a USB adapter)
  no_port,     // the kernel lists no parallel port at all
};

struct ParportRegister {
  Register which = Register::no_port;
  Parport parport;
  Text<128> base_addr;  // unreadable: what base-addr says, quoted; empty where it cannot be read
};

ParportRegister find_register(std::uint16_t port);

// Whether the finding is one of a listed port's registers.
bool is_register(Register which);

// The parallel ports the kernel lists on the I/O bus, at most `most` of them, into listed; how
// many.
constexpr int kMostListed = 16;
int listed_on_bus(Parport* listed, int most);

}  // namespace port_access

#endif
