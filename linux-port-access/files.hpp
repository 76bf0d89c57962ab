// The files the ways open: devices, kept off the standard streams, and the kernel's small text
// files.

#ifndef PORT_ACCESS_FILES_HPP
#define PORT_ACCESS_FILES_HPP

#include <cstddef>

namespace port_access {

// Opens a device read-write at descriptor 3 or above; -1, with errno set, where it cannot.
int open_device(const char* path);

// Reads a small text file of the kernel's into text, NUL-terminated; false where it cannot.
bool read_text(const char* path, char* text, std::size_t size);

}  // namespace port_access

#endif
