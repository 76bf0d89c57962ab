// port-file: an LD_PRELOAD stand-in for the machine's I/O ports. ioperm() and iopl() are refused,
// and /dev/port opens the file that PORT_FILE names instead, so that what the port-access library
// writes to "ports" lands in a plain file whose bytes a test can check. With
// PORT_FILE_FAIL_READS=1, reads from that file fail with EIO, as a failed transfer does; with
// PORT_FILE_FAIL_WRITES=1, writes to it do; with PORT_FILE_FAIL_DUP=1, moving a descriptor to a
// higher number (F_DUPFD, F_DUPFD_CLOEXEC) fails with EMFILE, as it does when no descriptor is
// free.
//
// PARPORT_PROC=<folder> stands in for /proc/sys/dev/parport, so that a test can list the parallel
// ports it likes; /dev/port (unless PORT_FILE names a file) and every /dev/parportN then fail to
// open with ENOENT, so that nothing reaches a real port.

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr char kDevPort[] = "/dev/port";

// The real open(), and the file that stands in for /dev/port.
int real_open(const char* path, int flags, mode_t mode) {
  using Open = int (*)(const char*, int, ...);
  static const auto next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "open"));
  return next(path, flags, mode);
}

constexpr char kParportProc[] = "/proc/sys/dev/parport";
constexpr char kParportDevice[] = "/dev/parport";

bool starts_with(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

int open_through(const char* path, int flags, mode_t mode) {
  const char* file = std::getenv("PORT_FILE");
  const char* proc = std::getenv("PARPORT_PROC");
  if (std::strcmp(path, kDevPort) == 0 && file != nullptr) return real_open(file, flags, mode);
  if (proc != nullptr && (std::strcmp(path, kDevPort) == 0 || starts_with(path, kParportDevice))) {
    errno = ENOENT;
    return -1;
  }
  if (proc != nullptr && starts_with(path, kParportProc)) {
    const std::string moved = std::string(proc) + (path + std::strlen(kParportProc));
    return real_open(moved.c_str(), flags, mode);
  }
  return real_open(path, flags, mode);
}

bool is_port_file(int descriptor) {
  const char* file = std::getenv("PORT_FILE");
  struct stat by_name = {};
  struct stat by_descriptor = {};
  return file != nullptr && stat(file, &by_name) == 0 && fstat(descriptor, &by_descriptor) == 0 &&
         by_name.st_dev == by_descriptor.st_dev && by_name.st_ino == by_descriptor.st_ino;
}

mode_t mode_argument(int flags, va_list arguments) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

}  // namespace

extern "C" {

int ioperm(unsigned long, unsigned long, int) {
  errno = EPERM;
  return -1;
}

int iopl(int) {
  errno = EPERM;
  return -1;
}

int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = mode_argument(flags, arguments);
  va_end(arguments);
  return open_through(path, flags, mode);
}

// The same function under its large-file name (on 64-bit systems the two are one).
int open64(const char* path, int flags, ...) __attribute__((alias("open")));

int __open_2(const char* path, int flags) { return open_through(path, flags, 0); }
int __open64_2(const char* path, int flags) { return open_through(path, flags, 0); }

// Whether the variable asks transfers on the port file to fail, and the descriptor is that file's;
// if so, errno is EIO.
static bool fails(const char* variable, int descriptor) {
  const char* fail = std::getenv(variable);
  if (fail == nullptr || std::strcmp(fail, "1") != 0 || !is_port_file(descriptor)) return false;
  errno = EIO;
  return true;
}

ssize_t pread(int descriptor, void* buffer, size_t count, off_t offset) {
  using Pread = ssize_t (*)(int, void*, size_t, off_t);
  static const auto next = reinterpret_cast<Pread>(dlsym(RTLD_NEXT, "pread"));
  if (fails("PORT_FILE_FAIL_READS", descriptor)) return -1;
  return next(descriptor, buffer, count, offset);
}

ssize_t pread64(int descriptor, void* buffer, size_t count, off_t offset) {
  return pread(descriptor, buffer, count, offset);
}

ssize_t pwrite(int descriptor, const void* buffer, size_t count, off_t offset) {
  using Pwrite = ssize_t (*)(int, const void*, size_t, off_t);
  static const auto next = reinterpret_cast<Pwrite>(dlsym(RTLD_NEXT, "pwrite"));
  if (fails("PORT_FILE_FAIL_WRITES", descriptor)) return -1;
  return next(descriptor, buffer, count, offset);
}

ssize_t pwrite64(int descriptor, const void* buffer, size_t count, off_t offset) {
  return pwrite(descriptor, buffer, count, offset);
}

DIR* opendir(const char* path) {
  using Opendir = DIR* (*)(const char*);
  static const auto next = reinterpret_cast<Opendir>(dlsym(RTLD_NEXT, "opendir"));
  const char* proc = std::getenv("PARPORT_PROC");
  if (proc != nullptr && std::strcmp(path, kParportProc) == 0) return next(proc);
  return next(path);
}

int fcntl(int descriptor, int command, ...) {
  va_list arguments;
  va_start(arguments, command);
  void* argument = va_arg(arguments, void*);
  va_end(arguments);
  const char* fail = std::getenv("PORT_FILE_FAIL_DUP");
  if ((command == F_DUPFD || command == F_DUPFD_CLOEXEC) && fail != nullptr &&
      std::strcmp(fail, "1") == 0) {
    errno = EMFILE;
    return -1;
  }
  using Fcntl = int (*)(int, int, ...);
  static const auto next = reinterpret_cast<Fcntl>(dlsym(RTLD_NEXT, "fcntl"));
  return next(descriptor, command, argument);
}

int fcntl64(int descriptor, int command, ...) __attribute__((alias("fcntl")));

}  // extern "C"
