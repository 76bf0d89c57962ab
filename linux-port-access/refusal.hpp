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

}  // namespace port_access

#endif
