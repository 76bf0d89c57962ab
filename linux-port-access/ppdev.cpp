// The third way: a parallel port's registers through /dev/parportN (ppdev). It needs only the right
// to open that device (Debian's udev rules give it to group lp), and it works under kernel
// lockdown, because the kernel does the port I/O itself.
//
// The registers reached this way:
//   - data: written and read as it is (PPWDATA, PPRDATA);
//   - status: read as it is (PPRSTATUS); it is read-only on the hardware, so a write changes
//     nothing;
//   - control, only where the form drives the control lines (contract.hpp): a write drives the four
//     lines (PPWCONTROL) and sets the data direction (bit 5, PPDATADIR); a read gives the lines
//     from the PC driver's own copy of what it last wrote (parport_pc_read_control, "use soft
//     copy"), never from the port, with bit 5 as last set. So a write to it could not be verified,
//     and the tool, whose write must be, does not take this way to it.
// The EPP and ECP registers are not: ppdev does not reach them.
//
// Claiming a port (PPCLAIM) on its first use puts its control register in the state the kernel
// gives each new user, and ppdev then enables the port's interrupt (bit 4), which nothing here can
// clear again: ppdev passes no request that touches that bit. A port is claimed once per process,
// under the lock of the choice of a way, and the claim lasts until the library is unloaded.

#include "ppdev.hpp"

#include <dirent.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "contract.hpp"
#include "files.hpp"
#include "lock.hpp"
#include "refusal.hpp"

namespace port_access {
namespace {

struct Claim {
  int descriptor = -1;
  char device[32] = "";
};

class DataRegister final : public Way {
 public:
  const Claim* claim = nullptr;

  void write(std::uint16_t port, std::uint8_t byte) const override {
    if (ioctl(claim->descriptor, PPWDATA, &byte) != 0)
      fail_transfer("writing", port, claim->device);
  }
  std::uint8_t read(std::uint16_t port) const override {
    unsigned char byte = 0;
    if (ioctl(claim->descriptor, PPRDATA, &byte) != 0) {
      fail_transfer("reading", port, claim->device);
      return 0xff;
    }
    return byte;
  }
};

class StatusRegister final : public Way {
 public:
  const Claim* claim = nullptr;

  void write(std::uint16_t, std::uint8_t) const override {}
  std::uint8_t read(std::uint16_t port) const override {
    unsigned char byte = 0;
    if (ioctl(claim->descriptor, PPRSTATUS, &byte) != 0) {
      fail_transfer("reading", port, claim->device);
      return 0xff;
    }
    return byte;
  }
};

struct Direction {
  Lock lock;        // a control write is two requests, which a read must not come between
  int reverse = 0;  // as a claim leaves the port: forward
};

class ControlRegister final : public Way {
 public:
  const Claim* claim = nullptr;
  Direction* direction = nullptr;

  static constexpr std::uint8_t kLines = 0x0f;  // STROBE, AUTOFD, INIT, SELECT-IN
  static constexpr std::uint8_t kReverse = 0x20;

  void write(std::uint16_t port, std::uint8_t byte) const override {
    const std::lock_guard lock(direction->lock);
    int reverse = (byte & kReverse) != 0 ? 1 : 0;
    if (ioctl(claim->descriptor, PPDATADIR, &reverse) != 0) {
      return fail_transfer("writing", port, claim->device);
    }
    direction->reverse = reverse;
    unsigned char lines = byte & kLines;
    if (ioctl(claim->descriptor, PPWCONTROL, &lines) != 0) {
      fail_transfer("writing", port, claim->device);
    }
  }
  std::uint8_t read(std::uint16_t port) const override {
    const std::lock_guard lock(direction->lock);
    unsigned char lines = 0;
    if (ioctl(claim->descriptor, PPRCONTROL, &lines) != 0) {
      fail_transfer("reading", port, claim->device);
      return 0xff;
    }
    return static_cast<std::uint8_t>((lines & kLines) | (direction->reverse != 0 ? kReverse : 0));
  }
};

// A parallel port claimed through its device, and the ways to its registers.
struct ClaimedParport {
  unsigned number = 0;
  Claim claim;
  Direction direction;
  DataRegister data;
  StatusRegister status;
  ControlRegister control;
};

constexpr int kMostParports = 8;
ClaimedParport claimed[kMostParports];
int claimed_count = 0;

const Way* way_to_register(const ClaimedParport& parport, Register which) {
  switch (which) {
    case Register::data:
      return &parport.data;
    case Register::status:
      return &parport.status;
    default:
      return &parport.control;
  }
}

// Whether this process takes the way through the device to that register of a parallel port.
bool through_device(Register which) {
  return which == Register::data || which == Register::status ||
         (which == Register::control && drives_control_lines());
}

// The names of the drivers and programs registered on parallel port N, one folder each in
// /proc/sys/dev/parport/parportN/devices, beside "active": as many as the line has room for, then
// how many more there are.
void registered_on(unsigned number, ParportAttempt::Detail& names) {
  char path[96];
  std::snprintf(path, sizeof path, "/proc/sys/dev/parport/parport%u/devices", number);
  DIR* directory = opendir(path);
  if (directory == nullptr) return;
  constexpr std::size_t kRoom = 200;
  unsigned more = 0;
  while (const dirent* entry = readdir(directory)) {
    if (entry->d_name[0] == '.' || std::strcmp(entry->d_name, "active") == 0) continue;
    if (names.size() >= kRoom) {
      ++more;
      continue;
    }
    if (names.size() > 0) names.add(", ");
    names.quote(entry->d_name);
  }
  closedir(directory);
  if (more > 0) names.add(" and ").number(more).add(" more");
}

// The driver or program that devices/active names as holding port N; empty where none does.
void holder_of(unsigned number, ParportAttempt::Detail& holder) {
  char path[96];
  char text[128];
  std::snprintf(path, sizeof path, "/proc/sys/dev/parport/parport%u/devices/active", number);
  if (!read_text(path, text, sizeof text)) return;
  text[std::strcspn(text, "\n")] = '\0';
  if (text[0] != '\0' && std::strcmp(text, "none") != 0) holder.quote(text);
}

}  // namespace

// The claim would wait, without a word, for as long as another driver or program holds the port,
// so a port that the kernel reports held is refused instead.
ParportAttempt reach_through_parport(std::uint16_t port) {
  ParportAttempt attempt;
  attempt.where = find_register(port);
  const Register which = attempt.where.which;
  const Parport& parport = attempt.where.parport;
  if (!is_register(which)) return attempt;
  std::snprintf(attempt.device, sizeof attempt.device, "/dev/parport%u", parport.number);
  if (!through_device(which)) return attempt;

  for (int i = 0; i < claimed_count; ++i) {
    if (claimed[i].number != parport.number) continue;
    attempt.outcome = ParportAttempt::reached;
    attempt.way = way_to_register(claimed[i], which);
    return attempt;
  }
  if (claimed_count == kMostParports) {
    attempt.outcome = ParportAttempt::claim_failed;
    attempt.error = EMFILE;
    return attempt;
  }

  const int descriptor = open_device(attempt.device);
  if (descriptor < 0) {
    attempt.outcome = ParportAttempt::cannot_open;
    attempt.error = errno;
    return attempt;
  }
  holder_of(parport.number, attempt.detail);
  if (attempt.detail.size() > 0) {
    close(descriptor);
    attempt.outcome = ParportAttempt::in_use;
    return attempt;
  }
  if (ioctl(descriptor, PPCLAIM) != 0) {
    attempt.error = errno;
    close(descriptor);
    // ppdev registers on the port at its first claim, which the kernel refuses (ENXIO) while
    // another driver or program is registered on it exclusively (PPEXCL).
    attempt.outcome = ParportAttempt::claim_failed;
    if (attempt.error == ENXIO) {
      registered_on(parport.number, attempt.detail);
      if (attempt.detail.size() > 0) attempt.outcome = ParportAttempt::held_exclusively;
    }
    return attempt;
  }

  ClaimedParport& fresh = claimed[claimed_count++];
  fresh.number = parport.number;
  fresh.claim.descriptor = descriptor;
  std::memcpy(fresh.claim.device, attempt.device, sizeof fresh.claim.device);
  fresh.direction.reverse = 0;
  fresh.data.claim = &fresh.claim;
  fresh.status.claim = &fresh.claim;
  fresh.control.claim = &fresh.claim;
  fresh.control.direction = &fresh.direction;
  attempt.outcome = ParportAttempt::reached;
  attempt.way = way_to_register(fresh, which);
  return attempt;
}

// A parallel port that this process has claimed, or could claim now: on the I/O bus, held by no
// other driver or program, and its device opens (and is closed again: opening it claims nothing).
bool any_parport_claimable() {
  if (claimed_count > 0) return true;
  Parport listed[kMostListed];
  const int count = listed_on_bus(listed, kMostListed);
  for (int i = 0; i < count; ++i) {
    ParportAttempt::Detail holder;
    holder_of(listed[i].number, holder);
    if (holder.size() > 0) continue;
    char device[32];
    std::snprintf(device, sizeof device, "/dev/parport%u", listed[i].number);
    const int descriptor = open_device(device);
    if (descriptor >= 0) {
      close(descriptor);
      return true;
    }
  }
  return false;
}

// Gives the parallel ports back to the kernel when the library is unloaded.
__attribute__((destructor)) static void release_parports() {
  for (int i = 0; i < claimed_count; ++i) {
    ioctl(claimed[i].claim.descriptor, PPRELEASE);
    close(claimed[i].claim.descriptor);
  }
  claimed_count = 0;
}

}  // namespace port_access
