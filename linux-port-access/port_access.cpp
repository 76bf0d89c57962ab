// The port-access library for Linux: an ELF shared object under the name the tool loads,
// inpout32.dll, exporting the same two functions as the Windows library.
//
// The ports this tool is used on (parallel, serial, POST display, Super I/O index and data) are
// byte-wide, so Out32 writes the low 8 bits of the value and Inp32 returns one byte, zero-extended.
//
// Before a port is first touched the kernel is asked for it with ioperm(); where that is refused
// (no CAP_SYS_RAWIO, a kernel without it, another processor) /dev/port serves instead, one byte at
// offset = port. An I/O instruction without permission kills the process with SIGSEGV even as
// root, so none is executed unless ioperm() granted that port. If neither way is open, the write
// must not pass for a success: the library says why on standard error and ends the process with
// status -1 before anything is written.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#endif

#define PORT_ACCESS_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

enum class Way : std::uint8_t { unknown, instructions, dev_port };

// How each port is reached, decided on its first use.
Way way_to[65536];
int dev_port = -1;

constexpr char kDevPort[] = "/dev/port";

#if defined(__x86_64__) || defined(__i386__)
bool ask_kernel_for(std::uint16_t port) { return ioperm(port, 1, 1) == 0; }
void out_instruction(std::uint16_t port, std::uint8_t byte) { outb(byte, port); }
std::uint8_t in_instruction(std::uint16_t port) { return inb(port); }
#else
// Elsewhere ports are reached through /dev/port alone.
bool ask_kernel_for(std::uint16_t) {
  errno = ENOSYS;
  return false;
}
[[noreturn]] void out_instruction(std::uint16_t, std::uint8_t) { std::abort(); }
[[noreturn]] std::uint8_t in_instruction(std::uint16_t) { std::abort(); }
#endif

[[noreturn]] void refuse(std::uint16_t port, int ioperm_error, int dev_port_error) {
  std::fprintf(stderr,
               "inpout32.dll: no access to I/O port 0x%04x (ioperm: %s; %s: %s): run as root or "
               "with CAP_SYS_RAWIO; under Secure Boot the kernel's lockdown refuses raw port "
               "access even to root\n",
               port, std::strerror(ioperm_error), kDevPort, std::strerror(dev_port_error));
  // The caller must not go on as if the port had been reached.
  std::_Exit(-1);
}

[[noreturn]] void fail_transfer(const char* what, std::uint16_t port) {
  std::fprintf(stderr, "inpout32.dll: %s I/O port 0x%04x through %s failed: %s\n", what, port,
               kDevPort, std::strerror(errno));
  std::_Exit(-1);
}

Way reach(std::uint16_t port) {
  if (way_to[port] != Way::unknown) return way_to[port];
  if (ask_kernel_for(port)) return way_to[port] = Way::instructions;
  const int ioperm_error = errno;
  if (dev_port < 0) dev_port = open(kDevPort, O_RDWR | O_CLOEXEC);
  if (dev_port < 0) refuse(port, ioperm_error, errno);
  return way_to[port] = Way::dev_port;
}

}  // namespace

PORT_ACCESS_EXPORT void Out32(std::uint16_t port, std::uint16_t value) {
  const auto byte = static_cast<std::uint8_t>(value);
  if (reach(port) == Way::instructions) {
    out_instruction(port, byte);
  } else if (pwrite(dev_port, &byte, 1, port) != 1) {
    fail_transfer("writing", port);
  }
}

PORT_ACCESS_EXPORT std::uint16_t Inp32(std::uint16_t port) {
  if (reach(port) == Way::instructions) return in_instruction(port);
  std::uint8_t byte = 0;
  if (pread(dev_port, &byte, 1, port) != 1) fail_transfer("reading", port);
  return byte;
}
