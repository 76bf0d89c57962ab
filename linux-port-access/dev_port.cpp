// The second way: /dev/port, one byte at offset = port. It needs root or CAP_SYS_RAWIO, and under
// kernel lockdown the kernel refuses it even to root.

#include <unistd.h>

#include "ways.hpp"

namespace port_access {

const char kDevPort[] = "/dev/port";

namespace {

int descriptor = -1;

class DevPort final : public Way {
 public:
  void write(std::uint16_t port, std::uint8_t byte) const override {
    if (pwrite(descriptor, &byte, 1, port) != 1) fail_transfer("writing", port, kDevPort);
  }
  std::uint8_t read(std::uint16_t port) const override {
    std::uint8_t byte = 0;
    if (pread(descriptor, &byte, 1, port) != 1) fail_transfer("reading", port, kDevPort);
    return byte;
  }
};

constexpr DevPort kDevPortWay;

}  // namespace

const Way* dev_port() {
  if (descriptor < 0) descriptor = open_device(kDevPort);
  return descriptor >= 0 ? &kDevPortWay : nullptr;
}

// Closes /dev/port when the library is unloaded: a program that loads it for a while keeps no
// descriptor of it.
__attribute__((destructor)) static void close_dev_port() {
  if (descriptor >= 0) close(descriptor);
  descriptor = -1;
}

}  // namespace port_access
