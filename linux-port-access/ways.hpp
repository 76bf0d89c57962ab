// The ways to an I/O port, behind one small set of operations. Each way is a file of its own:
// instructions.cpp (ioperm(), then the processor's in and out), dev_port.cpp (/dev/port) and
// ppdev.cpp (a parallel port's registers, through the kernel's driver), with parports.cpp finding
// the parallel ports that the kernel lists. port_access.cpp chooses a way for a port on its first
// use, and refusal.cpp says why none was open.

#ifndef PORT_ACCESS_WAYS_HPP
#define PORT_ACCESS_WAYS_HPP

#include <cstdint>

namespace port_access {

// The last port of the I/O space.
constexpr std::uint32_t kLastPort = 0xffff;

// One way to a port, which any thread may take. A transfer that fails is said (fail_transfer, in
// refusal.hpp), and what follows is the form's contract: the tool's run ends; a Windows program's
// write went nowhere, and its read gives all ones.
class Way {
 public:
  virtual void write(std::uint16_t port, std::uint8_t byte) const = 0;
  virtual std::uint8_t read(std::uint16_t port) const = 0;

 protected:
  ~Way() = default;
};

// The way through the processor's in and out, for a port that ioperm() grants; null, with errno
// set, where the kernel refuses it. ioperm() grants a port to the calling thread alone, so every
// other thread that takes the way is granted the port on its own first use of it.
const Way* instructions_to(std::uint16_t port);

// A transfer of 2 or 4 bytes (width) in one bus cycle, through the processor's in and out: true
// where ioperm() grants the calling thread every port it touches, false with errno set where the
// kernel refuses them. write_wide and read_wide only after it said true, in the same thread.
bool wide_instructions_to(std::uint16_t port, unsigned width);
void write_wide(std::uint16_t port, unsigned width, std::uint32_t value);
std::uint32_t read_wide(std::uint16_t port, unsigned width);

// Whether ioperm() grants this process ports at all.
bool instructions_open();

// The way through /dev/port, opened on its first use; null, with errno set, where it will not
// open. The caller holds the lock of the choice.
const Way* dev_port();
extern const char kDevPort[];

// Whether /dev/port is open, or would open: a device opened to find out is closed again.
bool dev_port_opens();

}  // namespace port_access

#endif
