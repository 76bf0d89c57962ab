// What the core of the port-access library asks of the form it is linked into. Each form answers to
// its callers' contract, in a file of its own:
//   - contract_linux.cpp, the Linux library, serves the tool, whose contract is a verified write:
//     a port it cannot reach ends the run with one line and status -1, before anything is written;
//   - contract_wine.cpp, the library Wine gives Windows programs, serves theirs, the bus's: a port
//     call returns, as on a PC bus, and the program decides what to do.

#ifndef PORT_ACCESS_CONTRACT_HPP
#define PORT_ACCESS_CONTRACT_HPP

#include <cstdint>

namespace port_access {

// Says why a port was not reached, or why a transfer at it failed (line: the whole line, without
// its end). The tool's form then ends the process with status -1 and does not return. The Windows
// programs' form says it once per port and process, and returns: the call goes on as on an ISA bus
// where nothing answers, where a write goes nowhere and a read gives all ones.
void unreached(std::uint32_t port, const char* line);

// Whether a parallel port's control lines are driven through its device. ppdev writes them, but
// the kernel's PC driver answers a read of the control register from its own copy of what it last
// wrote, never from the port, so the tool, whose write must be verified, does not take that way.
bool drives_control_lines();

}  // namespace port_access

#endif
