// The ways to an I/O port, behind one small set of operations. Each way is a file of its own:
// instructions.cpp (ioperm(), then the processor's in and out), dev_port.cpp (/dev/port) and
// ppdev.cpp (a parallel port's registers, through the kernel's driver), with parports.cpp finding
// the parallel ports that the kernel lists. port_access.cpp chooses a way for a port on its first
// use, and refusal.cpp says why none was open.

#ifndef PORT_ACCESS_WAYS_HPP
#define PORT_ACCESS_WAYS_HPP

#include <cstddef>
#include <cstdint>

namespace port_access {

// One way to a port. A transfer that fails ends the process (fail_transfer): the tool must not
// take a write that did not happen for one that did.
class Way {
 public:
  virtual void write(std::uint16_t port, std::uint8_t byte) const = 0;
  virtual std::uint8_t read(std::uint16_t port) const = 0;

 protected:
  ~Way() = default;
};

// The way through the processor's in and out, for a port that ioperm() grants; null, with errno
// set, where the kernel refuses it.
const Way* instructions_to(std::uint16_t port);

// A transfer of 2 or 4 bytes (width) in one bus cycle, through the processor's in and out: true
// where ioperm() grants every port it touches, false with errno set where the kernel refuses them.
// write_wide and read_wide only after it said true.
bool wide_instructions_to(std::uint16_t port, unsigned width);
void write_wide(std::uint16_t port, unsigned width, std::uint32_t value);
std::uint32_t read_wide(std::uint16_t port, unsigned width);

// Whether ioperm() grants this process ports at all.
bool instructions_open();

// The way through /dev/port, opened on first use; null, with errno set, where it will not open.
const Way* dev_port();
extern const char kDevPort[];

// Says on standard error which transfer failed and why, and ends the process with status -1
// (end_process).
[[noreturn]] void fail_transfer(const char* what, std::uint16_t port, const char* through);

// Opens a device read-write at descriptor 3 or above; -1, with errno set, where it cannot.
int open_device(const char* path);

// Reads a small text file of the kernel's into text, NUL-terminated; false where it cannot.
bool read_text(const char* path, char* text, std::size_t size);

}  // namespace port_access

#endif
