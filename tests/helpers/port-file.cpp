// port-file: an LD_PRELOAD stand-in for the machine that the port-access library runs on, so that
// every way of the library runs on the host, in seconds, under the sanitizers, and never reaches a
// real port. ioperm() and iopl() are refused, unless the machine grants ioperm() (below); even then
// the kernel's ioperm() is never called, so no instruction can reach a real port.
//
// /dev/port: PORT_FILE=<file> makes /dev/port open that file instead, so that what the library
// writes to "ports" lands in a plain file whose bytes a test can check. With
// PORT_FILE_FAIL_READS=1, reads from that file fail with EIO, as a failed transfer does; with
// PORT_FILE_FAIL_WRITES=1, writes to it do; with PORT_FILE_FAIL_DUP=1, moving a descriptor to a
// higher number (F_DUPFD, F_DUPFD_CLOEXEC) fails with EMFILE, as it does when no descriptor is
// free.
//
// PORT_MACHINE=<folder> describes one whole machine, laid out as the kernel lays it out:
//   proc/sys/dev/parport/...   the parallel ports the kernel lists (base-addr, modes, devices/)
//   sys/class/ppdev/parportN   ppdev is loaded for port N
//   sys/kernel/security/lockdown  securityfs's lockdown file; absent: securityfs is not mounted
//   dev/parportN, dev/port     a device node: one line "<uid> <gid> <octal mode> [<errno name>]";
//                              bytes written to an open /dev/parportN land in dev/parportN.written;
//                              absent: no node. An errno name makes an open that passes the node's
//                              permissions fail with it (ENXIO: ppdev unloaded under an open node)
//   etc/passwd, etc/group      the user and group databases (getpwuid, getgrgid, getgrnam)
//   id                         who the process is: "uid <n>", "groups <gid>..." (the session's
//                              groups), "caps [sys_rawio]" (effective capabilities), and optionally
//                              "ioperm <errno name>" (default EPERM, as without CAP_SYS_RAWIO), or
//                              "ioperm granted"
// With "ioperm granted", ioperm() grants ports to the calling thread alone, as the kernel does (a
// thread holds what it was granted itself; here a new thread starts with nothing), and the
// processor's in and out instructions on a port are carried out against PORT_FILE, one byte per
// port, each logged ("outb 0378 5a", "inw fffe 1234", "inl fffc 78563412"). The kernel lets an
// instruction on a port the thread was not granted fault; here the stand-in says which
// ("port-file: inb at port 0x0378 in a thread that ioperm() did not grant it") and the process
// dies of that SIGSEGV.
// There every path under /dev, /proc/sys/dev/parport and /sys that the library opens is the
// machine's. /dev/port opens PORT_FILE only where the machine's kernel would let it open (the
// node's permissions, CAP_SYS_RAWIO, no lockdown).
//
// /dev/parportN answers ppdev's requests as drivers/char/ppdev.c does, from simulated registers:
// the data latch, the status lines ("status <hex>" on a line of the node file, default 78), and the
// driver's copy of the control register, which a claim sets to 0c with the interrupt bit (1c). With
// "reads <hex>" a data read returns that byte whatever was written, as an empty bus does. A claim
// while devices/active names another holder would wait for it: the stand-in logs that and ends
// the process with status 124, as a timeout would. Every request but the claim needs the port
// claimed first (EINVAL), and an unknown one is EINVAL. PORT_MACHINE_FAIL=<request>:<errno name>
// makes that one request fail (PPCLAIM:ENXIO is what an exclusive holder makes the kernel answer).
// PORT_MACHINE_LOG=<file> gets one line per event: "open /dev/parport0", "PPCLAIM /dev/parport0",
// "PPWDATA /dev/parport0 5a", "PPRDATA /dev/parport0 5a", "PPRELEASE /dev/parport0",
// "close /dev/parport0"; a refused request as "PPRSTATUS /dev/parport0: EIO".

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <linux/ppdev.h>
#include <pthread.h>
#include <pwd.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr char kDevPort[] = "/dev/port";

template <typename Function>
Function next_function(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

int real_open(const char* path, int flags, mode_t mode) {
  using Open = int (*)(const char*, int, ...);
  static const auto next = next_function<Open>("open");
  return next(path, flags, mode);
}

int real_close(int descriptor) {
  using Close = int (*)(int);
  static const auto next = next_function<Close>("close");
  return next(descriptor);
}

bool starts_with(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

const char* machine() { return std::getenv("PORT_MACHINE"); }

// The machine's own file for a path the library asks for, or an empty string where the path is
// the host's.
std::string in_machine(const char* path) {
  const char* folder = machine();
  if (folder == nullptr) return "";
  for (const char* prefix : {"/proc/sys/dev/parport", "/sys/", "/dev/"}) {
    if (starts_with(path, prefix)) return std::string(folder) + path;
  }
  return "";
}

struct ErrnoName {
  const char* name;
  int number;
};
constexpr ErrnoName kErrnoNames[] = {
    {"EPERM", EPERM},   {"ENOENT", ENOENT}, {"EINTR", EINTR},   {"EIO", EIO},
    {"ENXIO", ENXIO},   {"EACCES", EACCES}, {"EBUSY", EBUSY},   {"ENODEV", ENODEV},
    {"EINVAL", EINVAL}, {"ENOSYS", ENOSYS}, {"ENOTTY", ENOTTY}, {"EFAULT", EFAULT},
};

int errno_named(const char* name) {
  for (const ErrnoName& entry : kErrnoNames) {
    if (std::strcmp(entry.name, name) == 0) return entry.number;
  }
  std::fprintf(stderr, "port-file: unknown errno name %s\n", name);
  std::_Exit(125);
}

const char* errno_name(int number) {
  for (const ErrnoName& entry : kErrnoNames) {
    if (entry.number == number) return entry.name;
  }
  return "E?";
}

// The words after "<key> " on the first line of a machine file that starts with it.
bool machine_value(const char* file, const char* key, std::string& value) {
  const char* folder = machine();
  if (folder == nullptr) return false;
  FILE* stream = std::fopen((std::string(folder) + "/" + file).c_str(), "re");
  if (stream == nullptr) return false;
  char line[512];
  bool found = false;
  const std::size_t key_length = std::strlen(key);
  while (!found && std::fgets(line, sizeof line, stream) != nullptr) {
    line[std::strcspn(line, "\n")] = '\0';
    if (std::strncmp(line, key, key_length) == 0 &&
        (line[key_length] == ' ' || line[key_length] == '\0')) {
      value = line + key_length + (line[key_length] == ' ' ? 1 : 0);
      found = true;
    }
  }
  std::fclose(stream);
  return found;
}

void log_event(const char* format, ...) {
  const char* path = std::getenv("PORT_MACHINE_LOG");
  if (path == nullptr) return;
  const int descriptor = real_open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (descriptor < 0) return;
  char line[256];
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(line, sizeof line - 1, format, arguments);
  va_end(arguments);
  if (length > 0) {
    const auto size = static_cast<std::size_t>(length) < sizeof line - 1
                          ? static_cast<std::size_t>(length)
                          : sizeof line - 2;
    line[size] = '\n';
    if (write(descriptor, line, size + 1) < 0) std::_Exit(125);
  }
  real_close(descriptor);
}

// Who the process is, as the machine says.
unsigned machine_uid() {
  std::string value;
  if (!machine_value("id", "uid", value)) return geteuid();
  return static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
}

bool in_session_group(unsigned gid) {
  std::string value;
  if (!machine_value("id", "groups", value)) return false;
  const char* at = value.c_str();
  char* end = nullptr;
  for (unsigned long group = std::strtoul(at, &end, 10); end != at;
       at = end, group = std::strtoul(at, &end, 10)) {
    if (group == gid) return true;
  }
  return false;
}

bool holds_raw_io() {
  std::string value;
  return machine_value("id", "caps", value) && value.find("sys_rawio") != std::string::npos;
}

bool locked_down() {
  const std::string path = std::string(machine()) + "/sys/kernel/security/lockdown";
  FILE* stream = std::fopen(path.c_str(), "re");
  if (stream == nullptr) return false;
  char text[128] = "";
  const bool read = std::fgets(text, sizeof text, stream) != nullptr;
  std::fclose(stream);
  return read && std::strstr(text, "[none]") == nullptr;
}

// A device node of the machine: owner, group, mode, and what an open that passes them gives.
struct Node {
  unsigned uid = 0;
  unsigned gid = 0;
  unsigned mode = 0;
  int open_error = 0;
};

bool read_node(const char* path, Node& node) {
  const std::string file = in_machine(path);
  FILE* stream = std::fopen(file.c_str(), "re");
  if (stream == nullptr) return false;
  char line[128] = "";
  if (std::fgets(line, sizeof line, stream) == nullptr) line[0] = '\0';
  std::fclose(stream);
  char error[32] = "";
  const int fields = std::sscanf(line, "%u %u %o %31s", &node.uid, &node.gid, &node.mode, error);
  if (fields < 3) {
    std::fprintf(stderr, "port-file: %s: expected \"<uid> <gid> <mode> [<errno>]\"\n",
                 file.c_str());
    std::_Exit(125);
  }
  if (fields == 4) node.open_error = errno_named(error);
  return true;
}

// The kernel's permission check for opening a node for reading and writing: root passes, others
// need both bits of the class they fall in.
bool may_open(const Node& node) {
  const unsigned uid = machine_uid();
  if (uid == 0) return true;
  unsigned bits = node.mode & 07;
  if (uid == node.uid) {
    bits = (node.mode >> 6) & 07;
  } else if (in_session_group(node.gid)) {
    bits = (node.mode >> 3) & 07;
  }
  return (bits & 06) == 06;
}

// A parallel port's device as ppdev keeps it: registers per port, a claim per open file.
struct Parport {
  bool known = false;
  unsigned char data = 0;
  unsigned char control = 0;
  unsigned char status = 0x78;
  int reads = -1;               // what a data read gives, where nothing answers; -1: the latch
  unsigned char drives = 0xff;  // what the device drives onto the data lines, read in reverse
  int claims = 0;               // open files that hold a claim on the port
};

// The driver answers one request at a time.
pthread_mutex_t driver = PTHREAD_MUTEX_INITIALIZER;

struct Held {
  Held() { pthread_mutex_lock(&driver); }
  ~Held() { pthread_mutex_unlock(&driver); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
};
constexpr unsigned kMostParports = 16;
Parport parports[kMostParports];

struct OpenFile {
  unsigned number = 0;
  bool claimed = false;
  int references = 0;
};
constexpr int kMostDescriptors = 1024;
OpenFile open_files[kMostDescriptors];
OpenFile* device_of[kMostDescriptors];

OpenFile* device(int descriptor) {
  return descriptor >= 0 && descriptor < kMostDescriptors ? device_of[descriptor] : nullptr;
}

unsigned hex_value(const char* file, const char* key, unsigned otherwise) {
  std::string value;
  if (!machine_value(file, key, value)) return otherwise;
  return static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 16));
}

// Why the kernel would not open the node for reading and writing: no node, or its permissions; 0
// where it would.
int refused(const char* path, Node& node) {
  if (!read_node(path, node)) return ENOENT;
  return may_open(node) ? 0 : EACCES;
}

int open_parport(const char* path, unsigned number, int flags) {
  Node node;
  if (const int error = refused(path, node)) {
    errno = error;
    return -1;
  }
  if (node.open_error != 0 || number >= kMostParports) {
    errno = node.open_error != 0 ? node.open_error : ENXIO;
    return -1;
  }
  // What is written to the device (ppdev would send it out in the port's mode) lands in a file
  // beside its node, which a test finds empty unless something reached the port that way.
  const std::string stream = in_machine(path) + ".written";
  const Held held;
  const int descriptor =
      real_open(stream.c_str(), (flags & O_CLOEXEC) | O_RDWR | O_CREAT | O_APPEND, 0644);
  if (descriptor < 0 || descriptor >= kMostDescriptors) return descriptor;
  Parport& parport = parports[number];
  if (!parport.known) {
    const std::string file = std::string("dev/parport") + std::to_string(number);
    parport.known = true;
    parport.status = static_cast<unsigned char>(hex_value(file.c_str(), "status", 0x78));
    parport.reads = static_cast<int>(hex_value(file.c_str(), "reads", ~0U));
    parport.drives = static_cast<unsigned char>(hex_value(file.c_str(), "drives", 0xff));
  }
  OpenFile& file = open_files[descriptor];
  file = OpenFile{number, false, 1};
  device_of[descriptor] = &file;
  log_event("open %s", path);
  return descriptor;
}

int open_dev_port(int flags, mode_t mode) {
  Node node;
  if (const int error = refused(kDevPort, node)) {
    errno = error;
    return -1;
  }
  const char* file = std::getenv("PORT_FILE");
  if (!holds_raw_io() || locked_down() || file == nullptr) {
    errno = EPERM;
    return -1;
  }
  return real_open(file, flags, mode);
}

int open_through(const char* path, int flags, mode_t mode) {
  const char* file = std::getenv("PORT_FILE");
  if (machine() != nullptr) {
    unsigned number = 0;
    char rest = '\0';
    if (std::sscanf(path, "/dev/parport%u%c", &number, &rest) == 1) {
      return open_parport(path, number, flags);
    }
    if (std::strcmp(path, kDevPort) == 0) return open_dev_port(flags, mode);
    const std::string moved = in_machine(path);
    if (!moved.empty()) return real_open(moved.c_str(), flags, mode);
    return real_open(path, flags, mode);
  }
  if (std::strcmp(path, kDevPort) == 0 && file != nullptr) return real_open(file, flags, mode);
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

struct RequestName {
  unsigned long request;
  const char* name;
};
constexpr RequestName kRequests[] = {
    {PPCLAIM, "PPCLAIM"},       {PPRELEASE, "PPRELEASE"},   {PPEXCL, "PPEXCL"},
    {PPRDATA, "PPRDATA"},       {PPWDATA, "PPWDATA"},       {PPRSTATUS, "PPRSTATUS"},
    {PPRCONTROL, "PPRCONTROL"}, {PPWCONTROL, "PPWCONTROL"}, {PPDATADIR, "PPDATADIR"},
};

const char* request_name(unsigned long request) {
  for (const RequestName& entry : kRequests) {
    if (entry.request == request) return entry.name;
  }
  return "ioctl";
}

// The errno that PORT_MACHINE_FAIL asks this request to fail with; 0 for none.
int planted_failure(const char* name) {
  const char* fail = std::getenv("PORT_MACHINE_FAIL");
  if (fail == nullptr) return 0;
  const char* colon = std::strchr(fail, ':');
  if (colon == nullptr || static_cast<std::size_t>(colon - fail) != std::strlen(name) ||
      std::strncmp(fail, name, std::strlen(name)) != 0) {
    return 0;
  }
  return errno_named(colon + 1);
}

// The holder that devices/active names, if another driver or program holds the port.
std::string holder(unsigned number) {
  const std::string path = std::string(machine()) + "/proc/sys/dev/parport/parport" +
                           std::to_string(number) + "/devices/active";
  FILE* stream = std::fopen(path.c_str(), "re");
  if (stream == nullptr) return "";
  char text[256] = "";
  if (std::fgets(text, sizeof text, stream) == nullptr) text[0] = '\0';
  std::fclose(stream);
  text[std::strcspn(text, "\n")] = '\0';
  return std::strcmp(text, "none") == 0 ? "" : text;
}

int refuse_request(const char* name, unsigned number, int error) {
  log_event("%s /dev/parport%u: %s", name, number, errno_name(error));
  errno = error;
  return -1;
}

int parport_request(OpenFile& file, unsigned long request, void* argument) {
  const Held held;
  const char* name = request_name(request);
  const unsigned number = file.number;
  Parport& parport = parports[number];
  if (const int error = planted_failure(name)) return refuse_request(name, number, error);
  if (request == PPCLAIM) {
    if (file.claimed) return refuse_request(name, number, EINVAL);
    const std::string held_by = holder(number);
    if (!held_by.empty()) {
      log_event("PPCLAIM /dev/parport%u waits for %s", number, held_by.c_str());
      std::_Exit(124);
    }
    if (parport.claims > 0) {
      log_event("PPCLAIM /dev/parport%u waits for another claim on it", number);
      std::_Exit(124);
    }
    ++parport.claims;
    file.claimed = true;
    parport.control = 0x0c | 0x10;
    log_event("PPCLAIM /dev/parport%u", number);
    return 0;
  }
  if (!file.claimed) return refuse_request(name, number, EINVAL);
  auto* byte = static_cast<unsigned char*>(argument);
  switch (request) {
    case PPRELEASE:
      file.claimed = false;
      --parport.claims;
      log_event("PPRELEASE /dev/parport%u", number);
      return 0;
    case PPDATADIR: {
      const int reverse = *static_cast<int*>(argument);
      parport.control = static_cast<unsigned char>(reverse != 0 ? parport.control | 0x20
                                                                : parport.control & ~0x20);
      log_event("PPDATADIR /dev/parport%u %d", number, reverse);
      return 0;
    }
    case PPWDATA:
      parport.data = *byte;
      break;
    case PPRDATA:
      if ((parport.control & 0x20) != 0) {
        *byte = parport.drives;
      } else {
        *byte = parport.reads >= 0 ? static_cast<unsigned char>(parport.reads) : parport.data;
      }
      break;
    case PPRSTATUS:
      *byte = parport.status;
      break;
    case PPWCONTROL:
      // parport_pc_write_control: the four lines, and bit 5 taken for data_reverse().
      parport.control =
          static_cast<unsigned char>((parport.control & 0xf0) | (*byte & 0x0f) | (*byte & 0x20));
      break;
    case PPRCONTROL:
      *byte = parport.control & 0x0f;
      break;
    default:
      return refuse_request(name, number, EINVAL);
  }
  log_event("%s /dev/parport%u %02x", name, number, *byte);
  return 0;
}

// Whether the variable asks transfers on the port file to fail, and the descriptor is that file's;
// if so, errno is EIO.
bool fails(const char* variable, int descriptor) {
  const char* fail = std::getenv(variable);
  if (fail == nullptr || std::strcmp(fail, "1") != 0 || !is_port_file(descriptor)) return false;
  errno = EIO;
  return true;
}

// The machine's user and group databases, read afresh for each look-up.
template <typename Entry, typename Match>
Entry* look_up(const char* file, Entry* (*next_entry)(FILE*), Match matches) {
  const std::string path = std::string(machine()) + "/etc/" + file;
  FILE* stream = std::fopen(path.c_str(), "re");
  if (stream == nullptr) return nullptr;
  Entry* entry = nullptr;
  while ((entry = next_entry(stream)) != nullptr && !matches(*entry)) {
  }
  std::fclose(stream);
  return entry;
}

// The ports ioperm() granted to each thread, a bit each.
constexpr unsigned long kPorts = 0x10000;
thread_local unsigned char granted[kPorts / 8];

void grant(unsigned long port, bool on) {
  const auto bit = static_cast<unsigned char>(1U << (port % 8));
  granted[port / 8] =
      static_cast<unsigned char>(on ? granted[port / 8] | bit : granted[port / 8] & ~bit);
}

bool is_granted(unsigned long port) { return (granted[port / 8] & (1U << (port % 8))) != 0; }

using Pread = ssize_t (*)(int, void*, size_t, off_t);
using Pwrite = ssize_t (*)(int, const void*, size_t, off_t);
Pread port_read = nullptr;
Pwrite port_write = nullptr;
int ports_file = -1;

void say(const char* text) {
  const std::size_t length = std::strlen(text);
  if (write(STDERR_FILENO, text, length) < 0) std::_Exit(125);
}

#if defined(__x86_64__)
// Carries out the in or out instruction at the fault, on the port file, where the thread holds the
// ports; otherwise lets it fault as the kernel would.
void on_fault(int, siginfo_t*, void* context) {
  auto& registers = static_cast<ucontext_t*>(context)->uc_mcontext.gregs;
  const auto* code = reinterpret_cast<const unsigned char*>(registers[REG_RIP]);
  unsigned length = 0;
  const bool word = code[0] == 0x66;
  if (word) ++length;
  const unsigned char opcode = code[length++];
  const bool immediate = opcode >= 0xe4 && opcode <= 0xe7;
  const bool is_io = immediate || (opcode >= 0xec && opcode <= 0xef);
  const bool out = (opcode & 0x02) != 0;
  unsigned width = (opcode & 0x01) == 0 ? 1 : (word ? 2 : 4);
  unsigned long port =
      immediate ? code[length++] : static_cast<unsigned long>(registers[REG_RDX]) & 0xffff;
  bool held = is_io && port + width <= kPorts;
  for (unsigned i = 0; held && i < width; ++i) held = is_granted(port + i);
  if (!held) {
    char text[160];
    if (is_io) {
      std::snprintf(text, sizeof text,
                    "port-file: %s%c at port 0x%04lx in a thread that ioperm() did not grant it\n",
                    out ? "out" : "in", "?bw?l"[width], port);
    } else {
      std::snprintf(text, sizeof text, "port-file: a fault that is no I/O instruction\n");
    }
    say(text);
    signal(SIGSEGV, SIG_DFL);
    return;
  }
  const auto rax = static_cast<unsigned long>(registers[REG_RAX]);
  unsigned long value = rax & (width == 4 ? 0xffffffffUL : (1UL << (8 * width)) - 1);
  unsigned char bytes[4] = {};
  if (out) {
    for (unsigned i = 0; i < width; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    if (port_write(ports_file, bytes, width, static_cast<off_t>(port)) != width) std::_Exit(125);
  } else {
    if (port_read(ports_file, bytes, width, static_cast<off_t>(port)) != width) std::_Exit(125);
    value = 0;
    for (unsigned i = 0; i < width; ++i) value |= static_cast<unsigned long>(bytes[i]) << (8 * i);
    const unsigned long keep = width == 4 ? 0 : rax & ~((1UL << (8 * width)) - 1);
    registers[REG_RAX] = static_cast<greg_t>(keep | value);
  }
  log_event("%s%c %04lx %0*lx", out ? "out" : "in", "?bw?l"[width], port, 2 * width, value);
  registers[REG_RIP] += length;
}

// Where the machine grants ioperm(), the instructions that would fault are carried out here.
__attribute__((constructor)) void take_faults() {
  std::string value;
  if (!machine_value("id", "ioperm", value) || value != "granted") return;
  port_read = next_function<Pread>("pread");
  port_write = next_function<Pwrite>("pwrite");
  const char* file = std::getenv("PORT_FILE");
  ports_file = file == nullptr ? -1 : real_open(file, O_RDWR | O_CLOEXEC, 0);
  if (ports_file < 0) {
    say("port-file: a machine that grants ioperm() needs PORT_FILE\n");
    std::_Exit(125);
  }
  struct sigaction action = {};
  action.sa_sigaction = on_fault;
  action.sa_flags = SA_SIGINFO | SA_NODEFER;
  sigaction(SIGSEGV, &action, nullptr);
}
#endif

}  // namespace

extern "C" {

// Access is granted only where the machine says so, and then to the calling thread alone. Giving it
// up needs no privilege, so the kernel answers that with success; an I/O instruction after it
// faults, as it would here anyway.
int ioperm(unsigned long from, unsigned long count, int turn_on) {
  std::string value;
  const bool errno_given = machine_value("id", "ioperm", value);
  if (errno_given && value == "granted") {
    if (from + count > kPorts) {
      errno = EINVAL;
      return -1;
    }
    for (unsigned long port = from; port < from + count; ++port) grant(port, turn_on != 0);
    return 0;
  }
  if (turn_on == 0 && !errno_given) return 0;
  errno = errno_given ? errno_named(value.c_str()) : EPERM;
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

int close(int descriptor) {
  const Held held;
  if (OpenFile* file = device(descriptor)) {
    device_of[descriptor] = nullptr;
    if (--file->references == 0) {
      // The kernel releases a claim that its holder forgot at the last close.
      log_event("close /dev/parport%u%s", file->number,
                file->claimed ? " (still claimed: the kernel releases it)" : "");
      if (file->claimed) --parports[file->number].claims;
      file->claimed = false;
    }
  }
  return real_close(descriptor);
}

int ioctl(int descriptor, unsigned long request, ...) {
  va_list arguments;
  va_start(arguments, request);
  void* argument = va_arg(arguments, void*);
  va_end(arguments);
  if (OpenFile* file = device(descriptor)) {
    // A device on a standard stream would take what the program writes there to the port.
    if (descriptor <= STDERR_FILENO) {
      log_event("/dev/parport%u on standard stream %d", file->number, descriptor);
    }
    return parport_request(*file, request, argument);
  }
  using Ioctl = int (*)(int, unsigned long, ...);
  static const auto next = next_function<Ioctl>("ioctl");
  return next(descriptor, request, argument);
}

int stat(const char* path, struct stat* buffer) {
  unsigned number = 0;
  char rest = '\0';
  if (machine() != nullptr && std::sscanf(path, "/dev/parport%u%c", &number, &rest) == 1) {
    Node node;
    if (!read_node(path, node)) {
      errno = ENOENT;
      return -1;
    }
    *buffer = {};
    buffer->st_mode = S_IFCHR | node.mode;
    buffer->st_uid = node.uid;
    buffer->st_gid = node.gid;
    buffer->st_rdev = makedev(99, number);
    buffer->st_nlink = 1;
    return 0;
  }
  using Stat = int (*)(const char*, struct stat*);
  static const auto next = next_function<Stat>("stat");
  const std::string moved = in_machine(path);
  return next(moved.empty() ? path : moved.c_str(), buffer);
}

int access(const char* path, int mode) {
  using Access = int (*)(const char*, int);
  static const auto next = next_function<Access>("access");
  const std::string moved = in_machine(path);
  return next(moved.empty() ? path : moved.c_str(), mode);
}

uid_t geteuid() {
  using Geteuid = uid_t (*)();
  static const auto next = next_function<Geteuid>("geteuid");
  std::string value;
  if (machine_value("id", "uid", value)) return machine_uid();
  return next();
}

passwd* getpwuid(uid_t uid) {
  if (machine() == nullptr) return next_function<passwd* (*)(uid_t)>("getpwuid")(uid);
  return look_up("passwd", fgetpwent, [uid](const passwd& entry) { return entry.pw_uid == uid; });
}

group* getgrgid(gid_t gid) {
  if (machine() == nullptr) return next_function<group* (*)(gid_t)>("getgrgid")(gid);
  return look_up("group", fgetgrent, [gid](const group& entry) { return entry.gr_gid == gid; });
}

group* getgrnam(const char* name) {
  if (machine() == nullptr) return next_function<group* (*)(const char*)>("getgrnam")(name);
  return look_up("group", fgetgrent,
                 [name](const group& entry) { return std::strcmp(entry.gr_name, name) == 0; });
}

// capget() answers with the machine's capabilities; every other system call goes through, with the
// five arguments that the registers carry (the library makes no other call that takes more).
long syscall(long number, ...) {
  va_list arguments;
  va_start(arguments, number);
  long words[5];
  for (long& word : words) word = va_arg(arguments, long);
  va_end(arguments);
  std::string value;
  if (number == SYS_capget && machine_value("id", "caps", value)) {
    auto* data = reinterpret_cast<__user_cap_data_struct*>(words[1]);
    data[0] = {};
    data[1] = {};
    if (holds_raw_io()) data[CAP_SYS_RAWIO / 32].effective |= 1U << (CAP_SYS_RAWIO % 32);
    return 0;
  }
  using Syscall = long (*)(long, ...);
  static const auto next = next_function<Syscall>("syscall");
  return next(number, words[0], words[1], words[2], words[3], words[4]);
}

ssize_t pread(int descriptor, void* buffer, size_t count, off_t offset) {
  static const auto next = next_function<Pread>("pread");
  if (fails("PORT_FILE_FAIL_READS", descriptor)) return -1;
  return next(descriptor, buffer, count, offset);
}

ssize_t pread64(int descriptor, void* buffer, size_t count, off_t offset) {
  return pread(descriptor, buffer, count, offset);
}

// The same read where the compiler checks the buffer's size (_FORTIFY_SOURCE, as clang builds it).
ssize_t __pread_chk(int descriptor, void* buffer, size_t count, off_t offset, size_t) {
  return pread(descriptor, buffer, count, offset);
}

ssize_t __pread64_chk(int descriptor, void* buffer, size_t count, off_t offset, size_t) {
  return pread(descriptor, buffer, count, offset);
}

ssize_t pwrite(int descriptor, const void* buffer, size_t count, off_t offset) {
  static const auto next = next_function<Pwrite>("pwrite");
  if (fails("PORT_FILE_FAIL_WRITES", descriptor)) return -1;
  return next(descriptor, buffer, count, offset);
}

ssize_t pwrite64(int descriptor, const void* buffer, size_t count, off_t offset) {
  return pwrite(descriptor, buffer, count, offset);
}

DIR* opendir(const char* path) {
  using Opendir = DIR* (*)(const char*);
  static const auto next = next_function<Opendir>("opendir");
  const std::string moved = in_machine(path);
  return next(moved.empty() ? path : moved.c_str());
}

int fcntl(int descriptor, int command, ...) {
  va_list arguments;
  va_start(arguments, command);
  void* argument = va_arg(arguments, void*);
  va_end(arguments);
  const char* fail = std::getenv("PORT_FILE_FAIL_DUP");
  const bool duplicates = command == F_DUPFD || command == F_DUPFD_CLOEXEC;
  if (duplicates && fail != nullptr && std::strcmp(fail, "1") == 0) {
    errno = EMFILE;
    return -1;
  }
  using Fcntl = int (*)(int, int, ...);
  static const auto next = next_function<Fcntl>("fcntl");
  const int result = next(descriptor, command, argument);
  // A device's duplicate is the same open file.
  const Held held;
  if (duplicates && result >= 0 && result < kMostDescriptors && device(descriptor) != nullptr) {
    device_of[result] = device(descriptor);
    ++device_of[result]->references;
  }
  return result;
}

int fcntl64(int descriptor, int command, ...) __attribute__((alias("fcntl")));

}  // extern "C"
