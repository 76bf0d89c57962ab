// What the port-access library does, for its entry points: those of the Linux library (linux.cpp)
// and those of the library that Wine gives Windows programs (wine.cpp). Each ends the process, with
// one line on standard error, where the port cannot be reached (end_process).

#ifndef PORT_ACCESS_PORT_ACCESS_HPP
#define PORT_ACCESS_PORT_ACCESS_HPP

#include <cstdint>

namespace port_access {

// One byte, through the way chosen for the port on its first use.
void write_byte(std::uint16_t port, std::uint8_t byte);
std::uint8_t read_byte(std::uint16_t port);

// One transfer of 1, 2 or 4 bytes (width) at a port given as a 32-bit number, as a Windows program
// may give it: a port beyond 0xffff, or a transfer that would run past it, is refused. A 16- or
// 32-bit transfer is one bus cycle of that width, which only the processor's in and out make:
// /dev/port and ppdev move a byte at a time, so a wide transfer that only they could reach is
// refused rather than split into bytes.
void write_port(std::uint32_t port, unsigned width, std::uint32_t value);
std::uint32_t read_port(std::uint32_t port, unsigned width);

// Whether any way to a port is open to this process: ioperm(), /dev/port or a parallel port's
// device. Nothing is written or read.
bool any_way_open();

// Ends the process with status -1, as the entry points' callers end: the Linux library's with
// _Exit() (exit_linux.cpp), the Wine library's with ExitProcess() (exit_wine.cpp).
[[noreturn]] void end_process();

}  // namespace port_access

#endif
