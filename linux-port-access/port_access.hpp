// What the port-access library does, for its entry points: those of the Linux library (linux.cpp)
// and those of the library that Wine gives Windows programs (wine.cpp). Every function may be
// called from any thread, at any time between load and unload. Where a port cannot be reached, each
// form keeps its own contract (contract.hpp): the tool's run ends, a Windows program's call
// returns.

#ifndef PORT_ACCESS_PORT_ACCESS_HPP
#define PORT_ACCESS_PORT_ACCESS_HPP

#include <cstdint>

namespace port_access {

// One byte, through the way chosen for the port on its first use.
void write_byte(std::uint16_t port, std::uint8_t byte);
std::uint8_t read_byte(std::uint16_t port);

// One transfer of 1, 2 or 4 bytes (width) at a port given as a 32-bit number, as a Windows program
// may give it: a port beyond 0xffff, or a transfer that would run past it, reaches nothing. A 16-
// or 32-bit transfer is one bus cycle of that width, which only the processor's in and out make:
// /dev/port and ppdev move a byte at a time, so a wide transfer that only they could reach is not
// made rather than split into bytes.
void write_port(std::uint32_t port, unsigned width, std::uint32_t value);
std::uint32_t read_port(std::uint32_t port, unsigned width);

// count transfers of that width at one port, each as the single transfer above, from or into an
// array of count values of that width (as the machine stores them). With a count of 0 nothing is
// touched; a missing array for a count above 0 is said and nothing is transferred.
void write_ports(std::uint32_t port, unsigned width, const void* values, std::uint32_t count);
void read_ports(std::uint32_t port, unsigned width, void* values, std::uint32_t count);

// Whether the next byte transfer to some port would be made: the raw way is open to this process,
// or a parallel port on the I/O bus that no other driver or program holds has a device this process
// may open (or has claimed). Nothing is written, read, claimed or left open.
bool any_way_open();

}  // namespace port_access

#endif
