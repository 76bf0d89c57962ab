// Finds the parallel port of which a port is a register, among those the kernel lists in
// /proc/sys/dev/parport: parportN/base-addr gives the two base addresses, parportN/modes the modes
// the kernel drives the port in. Only a port driven in EPP mode has EPP registers, and only one in
// ECP mode has ECP registers (the kernel reserves those addresses for the port only then). A port
// listed at base 0 (a USB adapter, for one) or above 0xffff (memory-mapped) is not on the I/O bus
// and is never taken: port 0 is the DMA controller's.

#include "parports.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files.hpp"

namespace port_access {
namespace {

constexpr unsigned kStandardRegisters = 3;
constexpr unsigned kEppRegisters = 8;  // base to base+7, the standard three among them

struct Modes {
  bool epp = false;
  bool ecp = false;
};

// The modes the kernel drives port N in: the words of its comma-separated list, read whole however
// long it is, each compared whole.
Modes modes_of(unsigned number) {
  char path[96];
  std::snprintf(path, sizeof path, "/proc/sys/dev/parport/parport%u/modes", number);
  Modes modes;
  const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return modes;
  char word[3] = {};  // "EPP" or "ECP"; a longer word is neither
  std::size_t length = 0;
  bool longer = false;
  const auto end_word = [&] {
    if (!longer && length == 3) {
      modes.epp = modes.epp || std::memcmp(word, "EPP", 3) == 0;
      modes.ecp = modes.ecp || std::memcmp(word, "ECP", 3) == 0;
    }
    length = 0;
    longer = false;
  };
  char chunk[256];
  ssize_t count = 0;
  while ((count = read(descriptor, chunk, sizeof chunk)) > 0) {
    for (ssize_t i = 0; i < count; ++i) {
      if (chunk[i] == ',' || chunk[i] == '\n') {
        end_word();
      } else if (length < 3) {
        word[length++] = chunk[i];
      } else {
        longer = true;
      }
    }
  }
  end_word();
  close(descriptor);
  return modes;
}

bool within(unsigned port, unsigned long first, unsigned count) {
  return first != 0 && port >= first && port - first < count;
}

// One listed parallel port, as base-addr gives it.
struct Listed {
  enum Kind : std::uint8_t { on_bus, off_bus, unreadable };
  Kind kind = unreadable;
  unsigned long base = 0;
  unsigned long base_hi = 0;
};

// base-addr holds two decimal numbers: the base and the second (ECP) base, 0 where there is none.
Listed listed(unsigned number, Text<128>& text) {
  char path[96];
  char contents[128];
  std::snprintf(path, sizeof path, "/proc/sys/dev/parport/parport%u/base-addr", number);
  Listed port;
  if (!read_text(path, contents, sizeof contents)) return port;
  char* end = nullptr;
  port.base = std::strtoul(contents, &end, 10);
  const char* second = end;
  port.base_hi = std::strtoul(second, &end, 10);
  const bool numbers = end != second && second != contents && (*end == '\n' || *end == '\0') &&
                       std::strchr(contents, '-') == nullptr;
  if (!numbers) {
    contents[std::strcspn(contents, "\n")] = '\0';
    text.add("\"").quote(contents).add("\"");
    return port;
  }
  port.kind = port.base == 0 || port.base > 0xffff ? Listed::off_bus : Listed::on_bus;
  return port;
}

// Which register of the listed parallel port N, at base, the port is.
Register register_of(std::uint16_t port, unsigned number, const Listed& listed_port) {
  if (within(port, listed_port.base, kStandardRegisters)) {
    return static_cast<Register>(port - listed_port.base);
  }
  if (!within(port, listed_port.base, kEppRegisters) &&
      !within(port, listed_port.base_hi, kStandardRegisters)) {
    return Register::none;
  }
  const Modes modes = modes_of(number);
  if (modes.epp && within(port, listed_port.base, kEppRegisters)) return Register::epp;
  if (modes.ecp && within(port, listed_port.base_hi, kStandardRegisters)) return Register::ecp;
  return Register::none;
}

// How much each finding says, where more than one port is listed: a register beats a port whose
// addresses cannot be read, which beats "no port has it", which beats ports off the I/O bus.
int weight(Register which) {
  switch (which) {
    case Register::no_port:
      return 0;
    case Register::off_bus:
      return 1;
    case Register::none:
      return 2;
    case Register::unreadable:
      return 3;
    case Register::data:
    case Register::status:
    case Register::control:
    case Register::epp:
    case Register::ecp:
      break;
  }
  return 4;
}

// Calls found(number, listed port) for each parallel port the kernel lists, until it says stop.
template <typename Found>
void each_listed(Found found) {
  DIR* directory = opendir("/proc/sys/dev/parport");
  if (directory == nullptr) return;
  while (const dirent* entry = readdir(directory)) {
    unsigned number = 0;
    char rest = '\0';
    if (std::sscanf(entry->d_name, "parport%u%c", &number, &rest) != 1) continue;
    if (!found(number)) break;
  }
  closedir(directory);
}

}  // namespace

bool is_register(Register which) { return weight(which) == weight(Register::data); }

int listed_on_bus(Parport* listed_ports, int most) {
  int count = 0;
  each_listed([&](unsigned number) {
    Text<128> unused;
    const Listed port = listed(number, unused);
    if (port.kind == Listed::on_bus) {
      listed_ports[count].number = number;
      listed_ports[count].base = static_cast<std::uint16_t>(port.base);
      ++count;
    }
    return count < most;
  });
  return count;
}

ParportRegister find_register(std::uint16_t port) {
  ParportRegister found;
  each_listed([&](unsigned number) {
    ParportRegister candidate;
    candidate.parport.number = number;
    const Listed listed_port = listed(number, candidate.base_addr);
    switch (listed_port.kind) {
      case Listed::unreadable:
        candidate.which = Register::unreadable;
        break;
      case Listed::off_bus:
        candidate.which = Register::off_bus;
        break;
      case Listed::on_bus:
        candidate.parport.base = static_cast<std::uint16_t>(listed_port.base);
        candidate.which = register_of(port, number, listed_port);
        break;
    }
    if (weight(candidate.which) > weight(found.which)) found = candidate;
    return !is_register(found.which);
  });
  return found;
}

}  // namespace port_access
