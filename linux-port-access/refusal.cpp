// The refusal line: "inpout32.dll: no access to I/O port 0x0378 (ioperm: <why>; /dev/port: <why>;
// <the third way>): <cause>[; <what to do about the device>]". Each part names what the system
// shows: the errors the kernel gave, the lockdown it reports, the capability the process holds,
// the device node's owner, group and mode, and the groups the user is in.

#include "refusal.hpp"

#include <grp.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace port_access {
namespace {

constexpr char kLockdown[] = "/sys/kernel/security/lockdown";

bool is_permission_error(int error) { return error == EPERM || error == EACCES; }

// The bracketed word of the kernel's lockdown file ("none", "integrity", "confidentiality"); false
// where the file cannot be read (securityfs not mounted, or no lockdown support).
bool read_lockdown(char* mode, std::size_t size) {
  char text[128];
  if (!read_text(kLockdown, text, sizeof text)) return false;
  const char* open_bracket = std::strchr(text, '[');
  const char* close_bracket = open_bracket ? std::strchr(open_bracket, ']') : nullptr;
  if (close_bracket == nullptr) return false;
  const auto length = static_cast<std::size_t>(close_bracket - open_bracket - 1);
  if (length >= size) return false;
  std::memcpy(mode, open_bracket + 1, length);
  mode[length] = '\0';
  return true;
}

bool has_raw_io_capability() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  return (data[CAP_SYS_RAWIO / 32].effective & (1U << (CAP_SYS_RAWIO % 32))) != 0;
}

// Why the raw ways are closed, as far as the system shows it.
void raw_cause(int ioperm_error, int dev_port_error, char* cause, std::size_t size) {
  char lockdown[32];
  const bool lockdown_known = read_lockdown(lockdown, sizeof lockdown);
  const bool refused = is_permission_error(ioperm_error) || is_permission_error(dev_port_error);
  if (lockdown_known && std::strcmp(lockdown, "none") != 0) {
    std::snprintf(cause, size, "kernel lockdown [%s] refuses raw port access even to root",
                  lockdown);
  } else if (refused && has_raw_io_capability()) {
    std::snprintf(cause, size, "the kernel refuses raw port access even with CAP_SYS_RAWIO%s",
                  lockdown_known
                      ? ""
                      : ", most likely for its lockdown (securityfs, which would say, is "
                        "not mounted at /sys/kernel/security)");
  } else if (refused && geteuid() == 0) {
    std::snprintf(cause, size, "raw port access needs CAP_SYS_RAWIO, which this process lacks");
  } else if (refused) {
    std::snprintf(cause, size, "raw port access needs root or CAP_SYS_RAWIO");
  } else {
    std::snprintf(cause, size, "this system offers no raw port access");
  }
}

// Whether the user this process runs as is a member of the group, as the group database says:
// the groups of a session are those it was given when it began.
bool user_is_member(gid_t group_id) {
  const passwd* user = getpwuid(geteuid());
  if (user == nullptr) return false;
  if (user->pw_gid == group_id) return true;
  const group* entry = getgrgid(group_id);
  if (entry == nullptr) return false;
  for (char* const* member = entry->gr_mem; *member != nullptr; ++member) {
    if (std::strcmp(*member, user->pw_name) == 0) return true;
  }
  return false;
}

// A user's or group's name, or its number where the database has none.
void name_or_number(const char* name, unsigned id, char* text, std::size_t size) {
  if (name != nullptr) {
    std::snprintf(text, size, "%s", name);
  } else {
    std::snprintf(text, size, "%u", id);
  }
}

// The device would not open: what its node shows, and what the user can do about it.
void device_refused(const ParportAttempt& parport, char* third, std::size_t third_size, char* hint,
                    std::size_t hint_size) {
  const char* device = parport.device;
  const unsigned number = parport.where.parport.number;
  struct stat node = {};
  if (parport.error == ENOENT) {
    char path[64];
    std::snprintf(path, sizeof path, "/sys/class/ppdev/parport%u", number);
    if (access(path, F_OK) == 0) {
      std::snprintf(third, third_size, "%s: no device node, though ppdev is loaded", device);
      std::snprintf(hint, hint_size, "; udev makes %s, or: mknod %s c 99 %u", device, device,
                    number);
    } else {
      std::snprintf(third, third_size, "%s: %s", device, std::strerror(parport.error));
      std::snprintf(hint, hint_size, "; the ppdev module makes %s", device);
    }
  } else if (is_permission_error(parport.error) && stat(device, &node) == 0) {
    char owner[64];
    char group_name[64];
    const passwd* owner_entry = getpwuid(node.st_uid);
    const group* group_entry = getgrgid(node.st_gid);
    name_or_number(owner_entry ? owner_entry->pw_name : nullptr, node.st_uid, owner, sizeof owner);
    name_or_number(group_entry ? group_entry->gr_name : nullptr, node.st_gid, group_name,
                   sizeof group_name);
    std::snprintf(third, third_size, "%s (%s:%s %04o): %s", device, owner, group_name,
                  static_cast<unsigned>(node.st_mode & 07777), std::strerror(parport.error));
    const bool group_may = (node.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (group_may && user_is_member(node.st_gid)) {
      std::snprintf(hint, hint_size,
                    "; you are in group %s, which may open %s, but this session began before you "
                    "were: log in again",
                    group_name, device);
    } else if (group_may) {
      std::snprintf(hint, hint_size, "; group %s may open %s", group_name, device);
    } else {
      std::snprintf(hint, hint_size, "; only its owner, %s, may open %s", owner, device);
    }
  } else {
    std::snprintf(third, third_size, "%s: %s", device, std::strerror(parport.error));
  }
}

// What became of the third way.
void parport_part(const ParportAttempt& parport, char* third, std::size_t third_size, char* hint,
                  std::size_t hint_size) {
  const char* device = parport.device;
  const unsigned base = parport.where.parport.base;
  switch (parport.outcome) {
    case ParportAttempt::not_reachable:
      switch (parport.where.which) {
        case Register::no_port:
          std::snprintf(third, third_size, "parport: the kernel lists no parallel port");
          return;
        case Register::control:
          std::snprintf(third, third_size,
                        "%s: the kernel's driver cannot read the control register back, so a "
                        "write to it could not be verified (root without lockdown reaches it the "
                        "raw way)",
                        device);
          return;
        case Register::epp:
        case Register::ecp:
          std::snprintf(third, third_size,
                        "%s: reaches only the data and status registers (0x%04x, 0x%04x), not %s "
                        "registers",
                        device, base, base + 1,
                        parport.where.which == Register::epp ? "EPP" : "ECP");
          return;
        case Register::data:
        case Register::status:
        case Register::none:
          break;
      }
      std::snprintf(third, third_size, "parport: no parallel port has this register");
      return;
    case ParportAttempt::cannot_open:
      device_refused(parport, third, third_size, hint, hint_size);
      return;
    case ParportAttempt::in_use:
      std::snprintf(third, third_size, "%s: in use by %s", device, parport.detail);
      return;
    case ParportAttempt::held_exclusively:
      std::snprintf(third, third_size, "%s: held exclusively by %s", device, parport.detail);
      return;
    case ParportAttempt::claim_failed:
    case ParportAttempt::reached:
      break;
  }
  std::snprintf(third, third_size, "%s: claiming the port: %s", device,
                std::strerror(parport.error));
}

}  // namespace

void refuse(std::uint16_t port, int ioperm_error, int dev_port_error,
            const ParportAttempt& parport) {
  char third[256];
  char hint[192] = "";
  parport_part(parport, third, sizeof third, hint, sizeof hint);
  char cause[192];
  raw_cause(ioperm_error, dev_port_error, cause, sizeof cause);
  // Each error's text is kept before the next is asked for: strerror() may reuse its buffer.
  char ioperm_text[64];
  char dev_port_text[64];
  std::snprintf(ioperm_text, sizeof ioperm_text, "%s", std::strerror(ioperm_error));
  std::snprintf(dev_port_text, sizeof dev_port_text, "%s", std::strerror(dev_port_error));
  std::fprintf(stderr,
               "inpout32.dll: no access to I/O port 0x%04x (ioperm: %s; %s: %s; %s): %s%s\n", port,
               ioperm_text, kDevPort, dev_port_text, third, cause, hint);
  std::_Exit(-1);
}

}  // namespace port_access
