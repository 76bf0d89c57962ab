// The second way: /dev/port, one byte at offset = port. It needs root or CAP_SYS_RAWIO, and under
// kernel lockdown the kernel refuses it even to root. pread() and pwrite() carry their own offset,
// so threads share the one descriptor.

#include <unistd.h>

#include <atomic>

#include "files.hpp"
#include "refusal.hpp"
#include "ways.hpp"

namespace port_access {

const char kDevPort[] = "/dev/port";

namespace {

std::atomic<int> descriptor = -1;

class DevPort final : public Way {
 public:
  void write(std::uint16_t port, std::uint8_t byte) const override {
    if (pwrite(descriptor.load(std::memory_order_relaxed), &byte, 1, port) != 1) {
      fail_transfer("writing", port, kDevPort);
    }
  }
  std::uint8_t read(std::uint16_t port) const override {
    std::uint8_t byte = 0;
    if (pread(descriptor.load(std::memory_order_relaxed), &byte, 1, port) != 1) {
      fail_transfer("reading", port, kDevPort);
      return 0xff;
    }
    return byte;
  }
};

constexpr DevPort kDevPortWay;

}  // namespace

const Way* dev_port() {
  if (descriptor.load(std::memory_order_relaxed) < 0) {
    descriptor.store(open_device(kDevPort), std::memory_order_relaxed);
  }
  return descriptor.load(std::memory_order_relaxed) >= 0 ? &kDevPortWay : nullptr;
}

bool dev_port_opens() {
  if (descriptor.load(std::memory_order_relaxed) >= 0) return true;
  const int probe = open_device(kDevPort);
  if (probe < 0) return false;
  close(probe);
  return true;
}

// Closes /dev/port when the library is unloaded: a program that loads it for a while keeps no
// descriptor of it.
__attribute__((destructor)) static void close_dev_port() {
  const int open = descriptor.exchange(-1);
  if (open >= 0) close(open);
}

}  // namespace port_access
