// The refusals: one line on standard error that says which ways were tried, why each failed and
// what the system shows as the cause, before anything is written; or which transfer failed and
// why. What follows is the form's contract (contract.hpp): the tool's run ends there, and a Windows
// program's call returns, having reached nothing.

#ifndef PORT_ACCESS_REFUSAL_HPP
#define PORT_ACCESS_REFUSAL_HPP

#include <cstdint>

#include "ppdev.hpp"

namespace port_access {

// No way reaches the port.
void refuse(std::uint16_t port, int ioperm_error, int dev_port_error,
            const ParportAttempt& parport);

// A transfer that would reach beyond the last I/O port, 0xffff.
void refuse_beyond(std::uint32_t port, unsigned width);

// A 16- or 32-bit transfer that ioperm() refused (ioperm_error), which no other way could make
// whole.
void refuse_wide(std::uint16_t port, unsigned width, int ioperm_error);

// count transfers asked for with no buffer to take them from or put them in.
void refuse_no_buffer(std::uint32_t port, unsigned width, std::uint32_t count);

// A transfer at a port that failed after the port was reached (what: "writing" or "reading";
// through: the way), with errno saying why.
void fail_transfer(const char* what, std::uint16_t port, const char* through);

}  // namespace port_access

#endif
