// The third way: a parallel port's registers, through the kernel's parallel-port
// driver and its device /dev/parportN (ppdev).

#ifndef PORT_ACCESS_PPDEV_HPP
#define PORT_ACCESS_PPDEV_HPP

#include <cstdint>

#include "parports.hpp"
#include "text.hpp"
#include "ways.hpp"

namespace port_access {

// What became of the third way for a port: the way, or why there is none.
struct ParportAttempt {
  enum Outcome : std::uint8_t {
    reached,
    not_reachable,     // no register of a listed port that the device reaches (where.which says)
    cannot_open,       // error: why /dev/parportN would not open
    in_use,            // detail: the name of the driver or program that holds the port
    held_exclusively,  // detail: the drivers and programs registered on the port
    claim_failed,      // error: why the kernel refused the claim
  };
  Outcome outcome = not_reachable;
  const Way* way = nullptr;  // reached
  ParportRegister where;
  char device[32] = "";
  int error = 0;
  using Detail = Text<320>;
  Detail detail;  // escaped, and cut with a mark
};

ParportAttempt reach_through_parport(std::uint16_t port);

// Whether this process has claimed a parallel port, or could claim one now (ppdev.cpp says how it
// tells). The caller holds the lock of the choice.
bool any_parport_claimable();

}  // namespace port_access

#endif
