// The files the ways open: devices, kept off the standard streams, and the kernel's small text
// files.

#include "files.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace port_access {

// With a standard stream closed, open() would hand out its number, and what the program then wrote
// to that stream (a report, an error message) would reach I/O ports. So a device gets descriptor 3
// or above.
int open_device(const char* path) {
  const int descriptor = open(path, O_RDWR | O_CLOEXEC);
  if (descriptor < 0 || descriptor > STDERR_FILENO) return descriptor;
  const int moved = fcntl(descriptor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  const int error = errno;
  close(descriptor);
  errno = error;
  return moved;
}

bool read_text(const char* path, char* text, std::size_t size) {
  const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  const ssize_t length = read(descriptor, text, size - 1);
  close(descriptor);
  if (length < 0) return false;
  text[length] = '\0';
  return true;
}

}  // namespace port_access
