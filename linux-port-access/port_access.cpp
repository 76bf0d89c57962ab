// The port-access library for Linux: an ELF shared object under the name the tool loads,
// inpout32.dll, exporting the same two functions as the Windows library.
//
// The ports this tool is used on (parallel, serial, POST display, Super I/O index and data) are
// byte-wide, so Out32 writes the low 8 bits of the value and Inp32 returns one byte, zero-extended.
//
// A port is reached one of three ways, chosen on its first use, in this order:
//   1. ioperm(), then the processor's in and out instructions;
//   2. /dev/port, one byte at offset = port. Both need root or CAP_SYS_RAWIO, and under kernel
//      lockdown (Secure Boot) the kernel refuses both even to root;
//   3. the kernel's parallel-port driver, through /dev/parportN (ppdev), for the data, status and
//      control registers of a parallel port that the kernel lists. It needs only the right to open
//      that device (Debian's udev rules give it to group lp), and it works under lockdown, because
//      the kernel does the port I/O itself.
// An I/O instruction without permission kills the process with SIGSEGV even as root, so none is
// executed unless ioperm() granted that port. If no way is open, the write must not pass for a
// success: the library says on standard error what it tried and why each way failed, and ends the
// process with status -1 before anything is written.

#include <dirent.h>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#endif

#define INPOUT32_EXPORT __attribute__((visibility("default")))
#include <inpout32.h>

namespace {

enum class Way : std::uint8_t { unknown, instructions, dev_port, parport };

// How each port is reached, decided on its first use.
Way way_to[65536];

constexpr char kDevPort[] = "/dev/port";
int dev_port = -1;

// The registers of a PC parallel port that ppdev reaches, as offsets from its base address.
enum ParportRegister : std::uint16_t { kData = 0, kStatus = 1, kControl = 2 };
constexpr std::uint16_t kStandardRegisters = 3;
// Past them: the EPP registers (base+3 to base+7) and the ECP registers at the second base.
constexpr std::uint16_t kExtendedRegisters = 8;

// The four control lines ppdev passes on (strobe, auto feed, init, select) and the data direction
// bit, which it sets apart.
constexpr std::uint8_t kControlLines = 0x0f;
constexpr std::uint8_t kControlReverse = 0x20;

// A parallel port the kernel lists, and its device once opened and claimed.
struct Parport {
  unsigned number = 0;  // N in /proc/sys/dev/parport/parportN and /dev/parportN
  std::uint16_t base = 0;
  char device[32] = "";
  int descriptor = -1;
};

// The parallel ports this process has claimed. A claim lasts until the library is unloaded.
constexpr int kMostParports = 8;
Parport claimed[kMostParports];
int claimed_count = 0;

// Opens a device at descriptor 3 or above. With a standard stream closed, open() would hand out its
// number, and what the program then wrote to that stream (a report, an error message) would reach
// I/O ports.
int open_device(const char* path) {
  const int descriptor = open(path, O_RDWR | O_CLOEXEC);
  if (descriptor < 0 || descriptor > STDERR_FILENO) return descriptor;
  const int moved = fcntl(descriptor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  const int error = errno;
  close(descriptor);
  errno = error;
  return moved;
}

// Reads a small text file of the kernel's into text, NUL-terminated; false if it cannot.
bool read_text(const char* path, char* text, std::size_t size) {
  const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  const ssize_t length = read(descriptor, text, size - 1);
  close(descriptor);
  if (length < 0) return false;
  text[length] = '\0';
  return true;
}

#if defined(__x86_64__) || defined(__i386__)
bool ask_kernel_for(std::uint16_t port) { return ioperm(port, 1, 1) == 0; }
void out_instruction(std::uint16_t port, std::uint8_t byte) { outb(byte, port); }
std::uint8_t in_instruction(std::uint16_t port) { return inb(port); }
#else
// Elsewhere ports are reached through /dev/port or ppdev alone.
bool ask_kernel_for(std::uint16_t) {
  errno = ENOSYS;
  return false;
}
[[noreturn]] void out_instruction(std::uint16_t, std::uint8_t) { std::abort(); }
[[noreturn]] std::uint8_t in_instruction(std::uint16_t) { std::abort(); }
#endif

// What became of the third way for a port: it either reached the port through a parallel port's
// device, or the reason it did not, for the refusal.
struct ParportAttempt {
  enum Outcome {
    reached,
    none_listed,
    not_a_register,
    extended_register,
    cannot_open,
    in_use,
    claim_failed
  };
  Outcome outcome = none_listed;
  Parport port;
  int error = 0;         // cannot_open, claim_failed
  char holder[64] = "";  // in_use: the name of the device that holds the port
};

// Looks for the parallel port of which the port is a register (reached, then, if it can be opened
// and claimed) or an extended register, among those the kernel lists in
// /proc/sys/dev/parport. A port listed at base 0 is not on the I/O bus (a USB adapter, for one) and
// is never taken: port 0 is the DMA controller's.
ParportAttempt::Outcome find_parport(std::uint16_t port, Parport& found) {
  DIR* directory = opendir("/proc/sys/dev/parport");
  if (directory == nullptr) return ParportAttempt::none_listed;
  ParportAttempt::Outcome outcome = ParportAttempt::none_listed;
  while (const dirent* entry = readdir(directory)) {
    unsigned number = 0;
    char rest = '\0';
    if (std::sscanf(entry->d_name, "parport%u%c", &number, &rest) != 1) continue;
    char path[96];
    char text[64];
    unsigned long base = 0;
    unsigned long base_hi = 0;
    std::snprintf(path, sizeof path, "/proc/sys/dev/parport/parport%u/base-addr", number);
    if (!read_text(path, text, sizeof text) || std::sscanf(text, "%lu %lu", &base, &base_hi) != 2 ||
        base == 0 || base > 0xffff) {
      continue;
    }
    if (outcome == ParportAttempt::none_listed) outcome = ParportAttempt::not_a_register;
    const bool standard = port >= base && port - base < kStandardRegisters;
    const bool extended = (port >= base && port - base < kExtendedRegisters) ||
                          (base_hi != 0 && port >= base_hi && port - base_hi < kStandardRegisters);
    if (!standard && !extended) continue;
    found.number = number;
    found.base = static_cast<std::uint16_t>(base);
    std::snprintf(found.device, sizeof found.device, "/dev/parport%u", number);
    outcome = standard ? ParportAttempt::reached : ParportAttempt::extended_register;
    if (standard) break;
  }
  closedir(directory);
  return outcome;
}

// The parallel port claimed earlier that has this port among its registers, if any.
Parport* claimed_parport_for(std::uint16_t port) {
  for (int i = 0; i < claimed_count; ++i) {
    if (port >= claimed[i].base && port - claimed[i].base < kStandardRegisters) return &claimed[i];
  }
  return nullptr;
}

// The third way: opens the parallel port's device and claims the port. The claim would wait,
// without a word, for as long as another driver or program holds the port, so a port that the
// kernel reports held is refused instead.
ParportAttempt reach_through_parport(std::uint16_t port) {
  ParportAttempt attempt;
  attempt.outcome = find_parport(port, attempt.port);
  if (attempt.outcome != ParportAttempt::reached) return attempt;
  if (claimed_count == kMostParports) {
    attempt.outcome = ParportAttempt::claim_failed;
    attempt.error = EMFILE;
    return attempt;
  }

  Parport& parport = attempt.port;
  parport.descriptor = open_device(parport.device);
  if (parport.descriptor < 0) {
    attempt.outcome = ParportAttempt::cannot_open;
    attempt.error = errno;
    return attempt;
  }
  char path[96];
  std::snprintf(path, sizeof path, "/proc/sys/dev/parport/parport%u/devices/active",
                parport.number);
  if (read_text(path, attempt.holder, sizeof attempt.holder)) {
    attempt.holder[std::strcspn(attempt.holder, "\n")] = '\0';
    if (attempt.holder[0] != '\0' && std::strcmp(attempt.holder, "none") != 0) {
      close(parport.descriptor);
      attempt.outcome = ParportAttempt::in_use;
      return attempt;
    }
  }
  if (ioctl(parport.descriptor, PPCLAIM) != 0) {
    attempt.error = errno;
    close(parport.descriptor);
    attempt.outcome = ParportAttempt::claim_failed;
    return attempt;
  }
  claimed[claimed_count++] = parport;
  return attempt;
}

// The bracketed word of /sys/kernel/security/lockdown ("integrity", "confidentiality"), or an empty
// string where the kernel is not locked down or does not say.
void read_lockdown(char* mode, std::size_t size) {
  mode[0] = '\0';
  char text[128];
  if (!read_text("/sys/kernel/security/lockdown", text, sizeof text)) return;
  const char* open_bracket = std::strchr(text, '[');
  const char* close_bracket = open_bracket ? std::strchr(open_bracket, ']') : nullptr;
  if (close_bracket == nullptr) return;
  const auto length = static_cast<std::size_t>(close_bracket - open_bracket - 1);
  if (length == 0 || length >= size || std::strncmp(open_bracket + 1, "none", length) == 0) return;
  std::memcpy(mode, open_bracket + 1, length);
  mode[length] = '\0';
}

bool is_permission_error(int error) { return error == EPERM || error == EACCES; }

// Says on one line of standard error which ways were tried, why each failed and what the system
// reports as the cause, then ends the process: the caller must not go on as if the port had been
// reached.
[[noreturn]] void refuse(std::uint16_t port, int ioperm_error, int dev_port_error,
                         const ParportAttempt& parport) {
  char third[192];
  const char* device = parport.port.device;
  switch (parport.outcome) {
    case ParportAttempt::none_listed:
      std::snprintf(third, sizeof third, "parport: the kernel lists no parallel port");
      break;
    case ParportAttempt::not_a_register:
      std::snprintf(third, sizeof third, "parport: no parallel port has this register");
      break;
    case ParportAttempt::extended_register:
      std::snprintf(third, sizeof third, "%s: reaches only 0x%04x-0x%04x, not EPP or ECP registers",
                    device, parport.port.base, parport.port.base + kStandardRegisters - 1);
      break;
    case ParportAttempt::cannot_open:
      std::snprintf(third, sizeof third, "%s: %s", device, std::strerror(parport.error));
      break;
    case ParportAttempt::in_use:
      std::snprintf(third, sizeof third, "%s: in use by %s", device, parport.holder);
      break;
    case ParportAttempt::claim_failed:
    case ParportAttempt::reached:
      std::snprintf(third, sizeof third, "%s: claiming the port: %s", device,
                    std::strerror(parport.error));
      break;
  }

  char lockdown[32];
  read_lockdown(lockdown, sizeof lockdown);
  char cause[128];
  if (lockdown[0] != '\0') {
    std::snprintf(cause, sizeof cause, "kernel lockdown [%s] refuses raw port access even to root",
                  lockdown);
  } else if (is_permission_error(ioperm_error) || is_permission_error(dev_port_error)) {
    std::snprintf(cause, sizeof cause, "raw port access needs root or CAP_SYS_RAWIO");
  } else {
    std::snprintf(cause, sizeof cause, "this system offers no raw port access");
  }
  const char* device_hint = "";
  if (parport.outcome == ParportAttempt::cannot_open) {
    if (is_permission_error(parport.error)) device_hint = "; group lp may open ";
    if (parport.error == ENOENT) device_hint = "; the ppdev module makes ";
  }

  std::fprintf(stderr,
               "inpout32.dll: no access to I/O port 0x%04x (ioperm: %s; %s: %s; %s): %s%s%s\n",
               port, std::strerror(ioperm_error), kDevPort, std::strerror(dev_port_error), third,
               cause, device_hint, device_hint[0] != '\0' ? device : "");
  std::_Exit(-1);
}

[[noreturn]] void fail_transfer(const char* what, std::uint16_t port, const char* through) {
  std::fprintf(stderr, "inpout32.dll: %s I/O port 0x%04x through %s failed: %s\n", what, port,
               through, std::strerror(errno));
  std::_Exit(-1);
}

Way reach(std::uint16_t port) {
  if (way_to[port] != Way::unknown) return way_to[port];
  if (ask_kernel_for(port)) return way_to[port] = Way::instructions;
  const int ioperm_error = errno;
  if (dev_port < 0) dev_port = open_device(kDevPort);
  if (dev_port >= 0) return way_to[port] = Way::dev_port;
  const int dev_port_error = errno;
  if (claimed_parport_for(port) != nullptr) return way_to[port] = Way::parport;
  const ParportAttempt parport = reach_through_parport(port);
  if (parport.outcome != ParportAttempt::reached)
    refuse(port, ioperm_error, dev_port_error, parport);
  return way_to[port] = Way::parport;
}

// A write through ppdev. The status register is read-only on the hardware, so a write to it
// changes nothing. Of the control register ppdev passes the four control lines, and the data
// direction bit through a request of its own; the interrupt enable bit it keeps to itself.
void parport_write(std::uint16_t port, std::uint8_t byte) {
  Parport& parport = *claimed_parport_for(port);
  bool done = true;
  switch (port - parport.base) {
    case kData:
      done = ioctl(parport.descriptor, PPWDATA, &byte) == 0;
      break;
    case kStatus:
      break;
    case kControl: {
      auto lines = static_cast<unsigned char>(byte & kControlLines);
      int reverse = (byte & kControlReverse) != 0;
      done = ioctl(parport.descriptor, PPWCONTROL, &lines) == 0 &&
             ioctl(parport.descriptor, PPDATADIR, &reverse) == 0;
      break;
    }
  }
  if (!done) fail_transfer("writing", port, parport.device);
}

// A read through ppdev, reported as ppdev yields it: of the control register only the four control
// lines, as the kernel's driver knows them.
std::uint8_t parport_read(std::uint16_t port) {
  const Parport& parport = *claimed_parport_for(port);
  unsigned char byte = 0;
  unsigned long request = PPRDATA;
  if (port - parport.base == kStatus) request = PPRSTATUS;
  if (port - parport.base == kControl) request = PPRCONTROL;
  if (ioctl(parport.descriptor, request, &byte) != 0)
    fail_transfer("reading", port, parport.device);
  return byte;
}

// Gives the parallel ports back to the kernel when the library is unloaded.
__attribute__((destructor)) void release_parports() {
  for (int i = 0; i < claimed_count; ++i) {
    ioctl(claimed[i].descriptor, PPRELEASE);
    close(claimed[i].descriptor);
  }
  claimed_count = 0;
}

}  // namespace

extern "C" INPOUT32_EXPORT void INPOUT32_CALL Out32(std::uint16_t port, std::uint16_t value) {
  const auto byte = static_cast<std::uint8_t>(value);
  switch (reach(port)) {
    case Way::instructions:
      out_instruction(port, byte);
      break;
    case Way::dev_port:
      if (pwrite(dev_port, &byte, 1, port) != 1) fail_transfer("writing", port, kDevPort);
      break;
    case Way::parport:
    case Way::unknown:
      parport_write(port, byte);
      break;
  }
}

extern "C" INPOUT32_EXPORT std::uint16_t INPOUT32_CALL Inp32(std::uint16_t port) {
  std::uint8_t byte = 0;
  switch (reach(port)) {
    case Way::instructions:
      return in_instruction(port);
    case Way::dev_port:
      if (pread(dev_port, &byte, 1, port) != 1) fail_transfer("reading", port, kDevPort);
      return byte;
    case Way::parport:
    case Way::unknown:
      break;
  }
  return parport_read(port);
}
