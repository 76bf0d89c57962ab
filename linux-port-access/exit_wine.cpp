// How the library for Windows programs under Wine ends a program it refuses: as a Windows program
// ends, its DLLs told and its open files flushed, with status -1.

#include <cstdint>

#include "port_access.hpp"

// kernel32's, which Wine's loader binds for this DLL as for any other.
extern "C" __attribute__((__stdcall__, __noreturn__)) void ExitProcess(std::uint32_t status);

void port_access::end_process() { ExitProcess(static_cast<std::uint32_t>(-1)); }
