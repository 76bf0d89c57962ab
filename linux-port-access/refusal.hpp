// The refusal: one line on standard error that says which ways were tried, why each failed and
// what the system shows as the cause, before anything is written.

#ifndef PORT_ACCESS_REFUSAL_HPP
#define PORT_ACCESS_REFUSAL_HPP

#include <cstdint>

#include "ppdev.hpp"

namespace port_access {

// Ends the process with status -1: the caller must not go on as if the port had been reached.
[[noreturn]] void refuse(std::uint16_t port, int ioperm_error, int dev_port_error,
                         const ParportAttempt& parport);

// A transfer that would reach beyond the last I/O port, 0xffff: ends the process with status -1.
[[noreturn]] void refuse_beyond(std::uint32_t port, unsigned width);

// A 16- or 32-bit transfer that ioperm() refused (ioperm_error), which no other way could make
// whole: ends the process with status -1.
[[noreturn]] void refuse_wide(std::uint16_t port, unsigned width, int ioperm_error);

}  // namespace port_access

#endif
