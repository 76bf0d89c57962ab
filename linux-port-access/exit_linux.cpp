// How the Linux library ends a process it refuses: at once, with status -1, as the tool ends.

#include <cstdlib>

#include "port_access.hpp"

void port_access::end_process() { std::_Exit(-1); }
