// The port-access library for Linux: the choice of a way to each port, for the library's entry
// points (linux.cpp, wine.cpp).
//
// The ports this tool is used on (parallel, serial, POST display, Super I/O index and data) are
// byte-wide, so a byte is what goes through the chosen way.
//
// A port is reached one of three ways (ways.hpp), chosen once per process, on the first use of the
// port by any thread, in this order:
//   1. ioperm(), then the processor's in and out instructions;
//   2. /dev/port. Both need root or CAP_SYS_RAWIO, and under kernel lockdown (Secure Boot) the
//      kernel refuses both even to root;
//   3. a parallel port's registers, through its device /dev/parportN (ppdev).
// If no way is open, nothing is written: the library says what it tried and why each way failed,
// and the form's contract says what follows (contract.hpp).
//
// Threads: the choice is made under one lock, so that a way is chosen once per port, /dev/port is
// opened once and a parallel port claimed once. A port already chosen is read from the table with
// no lock. Each way makes its own transfers whole (one instruction, one system call).

#include "port_access.hpp"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "contract.hpp"
#include "lock.hpp"
#include "parports.hpp"
#include "ppdev.hpp"
#include "refusal.hpp"
#include "ways.hpp"

namespace port_access {
namespace {

// Where no way reaches a port, and the form's contract lets the call return: a write goes nowhere
// and a read gives all ones, as on an ISA bus where nothing answers.
class Nowhere final : public Way {
 public:
  void write(std::uint16_t, std::uint8_t) const override {}
  std::uint8_t read(std::uint16_t) const override { return 0xff; }
};

constexpr Nowhere kNowhere;

// How each port is reached, once chosen.
std::atomic<const Way*> chosen[kLastPort + 1];
Lock choosing;

const Way& choose_way(std::uint16_t port) {
  if (const Way* way = instructions_to(port)) return *way;
  const int ioperm_error = errno;
  if (const Way* way = dev_port()) return *way;
  const int dev_port_error = errno;
  const ParportAttempt parport = reach_through_parport(port);
  if (const Way* way = parport.way) return *way;
  refuse(port, ioperm_error, dev_port_error, parport);
  return kNowhere;
}

const Way& chosen_way(std::uint16_t port) {
  const Way* way = chosen[port].load(std::memory_order_acquire);
  if (way != nullptr) return *way;
  const std::lock_guard lock(choosing);
  way = chosen[port].load(std::memory_order_relaxed);
  if (way == nullptr) {
    way = &choose_way(port);
    chosen[port].store(way, std::memory_order_release);
  }
  return *way;
}

bool within_io_space(std::uint32_t port, unsigned width) {
  return port <= kLastPort && kLastPort - port >= width - 1;
}

constexpr std::uint32_t all_ones(unsigned width) {
  return width == 4 ? 0xffffffffU : (1U << (8 * width)) - 1;
}

}  // namespace

void write_byte(std::uint16_t port, std::uint8_t byte) { chosen_way(port).write(port, byte); }

std::uint8_t read_byte(std::uint16_t port) { return chosen_way(port).read(port); }

// A byte goes the way chosen for its port; a wider transfer only the raw way, granted to the
// calling thread for every port it touches.
void write_port(std::uint32_t port, unsigned width, std::uint32_t value) {
  if (!within_io_space(port, width)) return refuse_beyond(port, width);
  const auto first = static_cast<std::uint16_t>(port);
  if (width == 1) return write_byte(first, static_cast<std::uint8_t>(value));
  if (!wide_instructions_to(first, width)) return refuse_wide(first, width, errno);
  write_wide(first, width, value);
}

std::uint32_t read_port(std::uint32_t port, unsigned width) {
  if (!within_io_space(port, width)) {
    refuse_beyond(port, width);
    return all_ones(width);
  }
  const auto first = static_cast<std::uint16_t>(port);
  if (width == 1) return read_byte(first);
  if (!wide_instructions_to(first, width)) {
    refuse_wide(first, width, errno);
    return all_ones(width);
  }
  return read_wide(first, width);
}

void write_ports(std::uint32_t port, unsigned width, const void* values, std::uint32_t count) {
  if (count == 0) return;
  if (values == nullptr) return refuse_no_buffer(port, width, count);
  const auto* bytes = static_cast<const unsigned char*>(values);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t value = 0;
    if (width == 1) {
      value = bytes[i];
    } else if (width == 2) {
      std::uint16_t word = 0;
      std::memcpy(&word, bytes + 2 * static_cast<std::size_t>(i), 2);
      value = word;
    } else {
      std::memcpy(&value, bytes + 4 * static_cast<std::size_t>(i), 4);
    }
    write_port(port, width, value);
  }
}

void read_ports(std::uint32_t port, unsigned width, void* values, std::uint32_t count) {
  if (count == 0) return;
  if (values == nullptr) return refuse_no_buffer(port, width, count);
  auto* bytes = static_cast<unsigned char*>(values);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t value = read_port(port, width);
    if (width == 1) {
      bytes[i] = static_cast<unsigned char>(value);
    } else if (width == 2) {
      const auto word = static_cast<std::uint16_t>(value);
      std::memcpy(bytes + 2 * static_cast<std::size_t>(i), &word, 2);
    } else {
      std::memcpy(bytes + 4 * static_cast<std::size_t>(i), &value, 4);
    }
  }
}

// A way already chosen for a port shows here too: ioperm() granted it, /dev/port is open, or the
// port's parallel port is claimed.
bool any_way_open() {
  const std::lock_guard lock(choosing);
  return instructions_open() || dev_port_opens() || any_parport_claimable();
}

}  // namespace port_access
