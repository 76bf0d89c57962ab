// The side of the contract of the library that Wine gives Windows programs: theirs, the bus's. A
// port call returns in every case, from every thread, as it does on a PC: where no way reaches a
// port, a write goes nowhere and a read gives all ones, as an ISA bus gives where nothing answers.
// Why is said on standard error once per port and process, so that a program that polls a port in
// a loop does not flood it. Through a parallel port's device the control lines are driven too, as
// programs for such ports expect.

#include <atomic>
#include <cstdio>
#include <mutex>

#include "contract.hpp"
#include "lock.hpp"
#include "ways.hpp"

namespace port_access {
namespace {

// The ports of the I/O space said already, a bit each.
std::atomic<std::uint8_t> said[(kLastPort + 1) / 8];

// Ports beyond it (a DlPort function takes a 32-bit port) said already: the first few, since no bus
// has them. Past these, further ones are not said.
constexpr int kMostBeyond = 64;
std::uint32_t said_beyond[kMostBeyond];
int said_beyond_count = 0;
Lock beyond;

bool first_time(std::uint32_t port) {
  if (port <= kLastPort) {
    const auto bit = static_cast<std::uint8_t>(1U << (port % 8));
    return (said[port / 8].fetch_or(bit, std::memory_order_relaxed) & bit) == 0;
  }
  const std::lock_guard lock(beyond);
  for (int i = 0; i < said_beyond_count; ++i) {
    if (said_beyond[i] == port) return false;
  }
  if (said_beyond_count == kMostBeyond) return false;
  said_beyond[said_beyond_count++] = port;
  return true;
}

}  // namespace

void unreached(std::uint32_t port, const char* line) {
  if (first_time(port)) std::fprintf(stderr, "%s\n", line);
}

bool drives_control_lines() { return true; }

}  // namespace port_access
