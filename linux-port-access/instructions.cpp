// The first way: ioperm() for the ports of a transfer, then the processor's in and out
// instructions. An I/O instruction without the kernel's permission kills the process with SIGSEGV,
// even as root, so none is executed unless ioperm() granted every port it touches to the thread
// that executes it. The kernel keeps that permission per thread: a thread inherits what its
// creator held when it was made, and nothing granted later to another thread. So each thread asks
// for a port on its own first use of it, whichever thread chose the way. Processors without I/O
// instructions have no such way.

#include <cerrno>

#include "refusal.hpp"
#include "ways.hpp"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>

#include <atomic>

namespace port_access {
namespace {

// The ports ioperm() has granted to this thread, a bit each.
thread_local std::uint8_t granted_here[(kLastPort + 1) / 8];

// Whether ioperm() has granted this process any port.
std::atomic<bool> granted_anywhere = false;

bool is_granted_here(std::uint16_t port) {
  return (granted_here[port / 8] & (1U << (port % 8))) != 0;
}

// Grants the calling thread the count ports from port on; false, with errno set, where the kernel
// refuses.
bool grant(std::uint16_t port, unsigned count) {
  bool all = true;
  for (unsigned i = 0; i < count; ++i) {
    all = all && is_granted_here(static_cast<std::uint16_t>(port + i));
  }
  if (all) return true;
  if (ioperm(port, count, 1) != 0) return false;
  for (unsigned i = 0; i < count; ++i) {
    const unsigned each = port + i;
    granted_here[each / 8] = static_cast<std::uint8_t>(granted_here[each / 8] | 1U << (each % 8));
  }
  granted_anywhere.store(true, std::memory_order_relaxed);
  return true;
}

class Instructions final : public Way {
 public:
  void write(std::uint16_t port, std::uint8_t byte) const override {
    if (grant(port, 1)) {
      outb(byte, port);
    } else {
      fail_transfer("writing", port, "ioperm()");
    }
  }
  std::uint8_t read(std::uint16_t port) const override {
    if (grant(port, 1)) return inb(port);
    fail_transfer("reading", port, "ioperm()");
    return 0xff;
  }
};

constexpr Instructions kInstructions;

}  // namespace

const Way* instructions_to(std::uint16_t port) { return grant(port, 1) ? &kInstructions : nullptr; }

bool wide_instructions_to(std::uint16_t port, unsigned width) { return grant(port, width); }

void write_wide(std::uint16_t port, unsigned width, std::uint32_t value) {
  if (width == 2) {
    outw(static_cast<std::uint16_t>(value), port);
  } else {
    outl(value, port);
  }
}

std::uint32_t read_wide(std::uint16_t port, unsigned width) {
  return width == 2 ? inw(port) : inl(port);
}

// Asking for port 0 and giving it back again touches no port.
bool instructions_open() {
  if (granted_anywhere.load(std::memory_order_relaxed)) return true;
  if (ioperm(0, 1, 1) != 0) return false;
  ioperm(0, 1, 0);
  return true;
}

}  // namespace port_access

#else

namespace port_access {

const Way* instructions_to(std::uint16_t) {
  errno = ENOSYS;
  return nullptr;
}

bool wide_instructions_to(std::uint16_t, unsigned) {
  errno = ENOSYS;
  return false;
}

void write_wide(std::uint16_t, unsigned, std::uint32_t) {}

std::uint32_t read_wide(std::uint16_t, unsigned) { return 0; }

bool instructions_open() { return false; }

}  // namespace port_access

#endif
