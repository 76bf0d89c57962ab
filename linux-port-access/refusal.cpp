// The refusal line: "inpout32.dll: no access to I/O port 0x0378 (ioperm: <why>; /dev/port: <why>;
// <the third way>): <cause>[; <what to do about the device>]". Each part names what the system
// shows: the errors the kernel gave, the lockdown it reports, the capability the process holds,
// the device node's owner, group and mode, and the groups the user is in. A hint that names a
// command gives it whole, so that carried out as written (as root) it lets the next run get
// further; where the system shows that it could not, the command is left out.

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

#include "contract.hpp"
#include "files.hpp"
#include "text.hpp"

namespace port_access {
namespace {

using Line = Text<1024>;
using Hint = Text<384>;

constexpr char kLockdown[] = "/sys/kernel/security/lockdown";
// The group Debian's udev gives /dev/parportN.
constexpr char kParportGroup[] = "lp";

bool is_permission_error(int error) { return error == EPERM || error == EACCES; }

// The bracketed word of the kernel's lockdown file ("none", "integrity", "confidentiality"),
// quoted; false where the file cannot be read (securityfs not mounted, or no lockdown support).
bool read_lockdown(Text<96>& mode, bool& none) {
  char text[128];
  if (!read_text(kLockdown, text, sizeof text)) return false;
  char* open_bracket = std::strchr(text, '[');
  char* close_bracket = open_bracket ? std::strchr(open_bracket, ']') : nullptr;
  if (close_bracket == nullptr) return false;
  *close_bracket = '\0';
  none = std::strcmp(open_bracket + 1, "none") == 0;
  mode.quote(open_bracket + 1);
  return true;
}

bool has_raw_io_capability() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  return (data[CAP_SYS_RAWIO / 32].effective & (1U << (CAP_SYS_RAWIO % 32))) != 0;
}

// Why the raw ways are closed, as far as the system shows it.
void raw_cause(int ioperm_error, int dev_port_error, Line& line) {
  Text<96> lockdown;
  bool none = false;
  const bool lockdown_known = read_lockdown(lockdown, none);
  const bool refused = is_permission_error(ioperm_error) || is_permission_error(dev_port_error);
  if (lockdown_known && !none) {
    line.add("kernel lockdown [")
        .add(lockdown.c_str())
        .add("] refuses raw port access even to root");
  } else if (refused && has_raw_io_capability()) {
    line.add("the kernel refuses raw port access even with CAP_SYS_RAWIO");
    if (!lockdown_known) {
      line.add(
          ", most likely for its lockdown (securityfs, which would say, is not mounted at "
          "/sys/kernel/security)");
    }
  } else if (refused && geteuid() == 0) {
    line.add("raw port access needs CAP_SYS_RAWIO, which this process lacks");
  } else if (refused) {
    line.add("raw port access needs root or CAP_SYS_RAWIO");
  } else {
    line.add("this system offers no raw port access");
  }
}

// Whether the user this process runs as is a member of the group, as the group database says:
// the groups of a session are those it was given when it began.
bool user_is_member(const passwd* user, gid_t group_id) {
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
template <std::size_t Capacity>
void name_or_number(Text<Capacity>& text, const char* name, unsigned id) {
  if (name != nullptr) {
    text.quote(name);
  } else {
    text.number(id);
  }
}

// A name that a command can take as it stands: printable ASCII without blanks or quotes.
bool plain_name(const char* name) {
  if (name == nullptr || name[0] == '\0' || name[0] == '-') return false;
  for (; *name != '\0'; ++name) {
    if (*name <= ' ' || *name > '~' || std::strchr("'\"\\;&|$`<>()*?", *name) != nullptr) {
      return false;
    }
  }
  return true;
}

// The node is missing: ppdev is loaded and udev did not make the node, or ppdev is not loaded.
void node_missing(const char* device, unsigned number, Line& line, Hint& hint) {
  char path[64];
  std::snprintf(path, sizeof path, "/sys/class/ppdev/parport%u", number);
  if (access(path, F_OK) != 0) {
    line.add(device).add(": ").add(std::strerror(ENOENT));
    hint.add("; the ppdev module makes ").add(device).add(", as root: modprobe ppdev");
    return;
  }
  line.add(device).add(": no device node, though ppdev is loaded");
  hint.add("; udev makes ").add(device);
  // As udev would make it: root:lp, 0660. Without a group lp the group could not be set.
  if (getgrnam(kParportGroup) != nullptr) {
    hint.add(", or, as root: mknod -m 660 ").add(device).add(" c 99 ").number(number);
    hint.add(" && chgrp ").add(kParportGroup).add(" ").add(device);
  }
}

// The node would not open for this user: what it shows, and what the user can do about it.
void node_refused(const char* device, int error, const struct stat& node, Line& line, Hint& hint) {
  const passwd* owner_entry = getpwuid(node.st_uid);
  Text<96> owner;
  name_or_number(owner, owner_entry ? owner_entry->pw_name : nullptr, node.st_uid);
  const group* group_entry = getgrgid(node.st_gid);
  Text<96> group_name;
  const bool group_named = group_entry != nullptr && plain_name(group_entry->gr_name);
  name_or_number(group_name, group_entry ? group_entry->gr_name : nullptr, node.st_gid);
  line.add(device).add(" (").add(owner.c_str()).add(":").add(group_name.c_str()).add(" ");
  line.number(node.st_mode & 07777, 8, 4).add("): ").add(std::strerror(error));

  const bool group_may = (node.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
  if (!group_may) {
    hint.add("; only its owner, ").add(owner.c_str()).add(", may open ").add(device);
    return;
  }
  const passwd* user = getpwuid(geteuid());
  if (user_is_member(user, node.st_gid)) {
    hint.add("; you are in group ").add(group_name.c_str()).add(", which may open ").add(device);
    hint.add(", but this session began before you were: log in again");
    return;
  }
  hint.add("; group ").add(group_name.c_str()).add(" may open ").add(device);
  // adduser takes the user's and the group's names; without both the command could not work.
  if (group_named && user != nullptr && plain_name(user->pw_name)) {
    hint.add(", as root: adduser ").add(user->pw_name).add(" ").add(group_entry->gr_name);
    hint.add(", then log in again");
  }
}

// The device would not open.
void device_refused(const ParportAttempt& parport, Line& line, Hint& hint) {
  const char* device = parport.device;
  struct stat node = {};
  if (parport.error == ENOENT) {
    node_missing(device, parport.where.parport.number, line, hint);
  } else if (is_permission_error(parport.error) && stat(device, &node) == 0) {
    node_refused(device, parport.error, node, line, hint);
  } else {
    line.add(device).add(": ").add(std::strerror(parport.error));
  }
}

// What became of the third way.
void parport_part(const ParportAttempt& parport, Line& line, Hint& hint) {
  const char* device = parport.device;
  const ParportRegister& where = parport.where;
  switch (parport.outcome) {
    case ParportAttempt::not_reachable:
      switch (where.which) {
        case Register::no_port:
          line.add("parport: the kernel lists no parallel port");
          return;
        case Register::off_bus:
          line.add("parport: no parallel port the kernel lists is on the I/O bus");
          return;
        case Register::unreadable:
          line.add("parport: the kernel lists parport").number(where.parport.number);
          if (where.base_addr.size() == 0) {
            line.add(", but its base-addr cannot be read");
          } else {
            line.add(", but its base-addr is ").add(where.base_addr.c_str());
            line.add(", not two addresses");
          }
          return;
        case Register::control:
          line.add(device).add(
              ": the kernel's driver cannot read the control register back, so a write to it "
              "could not be verified (root without lockdown reaches it the raw way)");
          return;
        case Register::epp:
        case Register::ecp:
          line.add(device).add(": reaches only the data and status registers (0x");
          line.number(where.parport.base, 16, 4).add(", 0x").number(where.parport.base + 1U, 16, 4);
          line.add("), not ").add(where.which == Register::epp ? "EPP" : "ECP").add(" registers");
          return;
        case Register::data:
        case Register::status:
        case Register::none:
          break;
      }
      line.add("parport: no parallel port has this register");
      return;
    case ParportAttempt::cannot_open:
      device_refused(parport, line, hint);
      return;
    case ParportAttempt::in_use:
      line.add(device).add(": in use by ").add(parport.detail.c_str());
      return;
    case ParportAttempt::held_exclusively:
      line.add(device).add(": held exclusively by ").add(parport.detail.c_str());
      return;
    case ParportAttempt::claim_failed:
    case ParportAttempt::reached:
      break;
  }
  line.add(device).add(": claiming the port: ").add(std::strerror(parport.error));
}

}  // namespace

void refuse(std::uint16_t port, int ioperm_error, int dev_port_error,
            const ParportAttempt& parport) {
  // Each error's text is taken before the next is asked for: strerror() may reuse its buffer.
  Line line;
  line.add("inpout32.dll: no access to I/O port 0x").number(port, 16, 4);
  line.add(" (ioperm: ").add(std::strerror(ioperm_error));
  line.add("; ").add(kDevPort).add(": ").add(std::strerror(dev_port_error)).add("; ");
  Hint hint;
  parport_part(parport, line, hint);
  line.add("): ");
  raw_cause(ioperm_error, dev_port_error, line);
  line.add(hint.c_str());
  unreached(port, line.c_str());
}

// "inpout32.dll: no access to I/O port 0x12345: I/O ports end at 0xffff", and for a wide transfer
// "no 16-bit access to I/O port 0xffff: ...".
void refuse_beyond(std::uint32_t port, unsigned width) {
  Line line;
  line.add("inpout32.dll: no ");
  if (width > 1) line.number(8UL * width).add("-bit ");
  line.add("access to I/O port 0x").number(port, 16, 4).add(": I/O ports end at 0xffff");
  unreached(port, line.c_str());
}

// "inpout32.dll: no 16-bit access to I/O port 0x0378 (ioperm: <why>; /dev/port and ppdev move one
// byte at a time): <cause>".
void refuse_wide(std::uint16_t port, unsigned width, int ioperm_error) {
  Line line;
  line.add("inpout32.dll: no ").number(8UL * width).add("-bit access to I/O port 0x");
  line.number(port, 16, 4).add(" (ioperm: ").add(std::strerror(ioperm_error));
  line.add("; ").add(kDevPort).add(" and ppdev move one byte at a time): ");
  raw_cause(ioperm_error, 0, line);
  unreached(port, line.c_str());
}

// "inpout32.dll: no buffer for 3 8-bit transfers at I/O port 0x0378".
void refuse_no_buffer(std::uint32_t port, unsigned width, std::uint32_t count) {
  Line line;
  line.add("inpout32.dll: no buffer for ").number(count).add(" ").number(8UL * width);
  line.add("-bit transfers at I/O port 0x").number(port, 16, 4);
  unreached(port, line.c_str());
}

// "inpout32.dll: writing I/O port 0x0378 through /dev/port failed: Input/output error".
void fail_transfer(const char* what, std::uint16_t port, const char* through) {
  Line line;
  line.add("inpout32.dll: ").add(what).add(" I/O port 0x").number(port, 16, 4);
  line.add(" through ").add(through).add(" failed: ").add(std::strerror(errno));
  unreached(port, line.c_str());
}

}  // namespace port_access
