// Finds the parallel port of which a port is a register, among those the kernel lists in
// /proc/sys/dev/parport: parportN/base-addr gives the two base addresses, parportN/modes the modes
// the kernel drives the port in. Only a port driven in EPP mode has EPP registers, and only one in
// ECP mode has ECP registers (the kernel reserves those addresses for the port only then). A port
// listed at base 0 is not on the I/O bus (a USB adapter, for one) and is never taken: port 0 is the
// DMA controller's.

#include "parports.hpp"

#include <dirent.h>

#include <cstdio>
#include <cstring>

#include "ways.hpp"

namespace port_access {
namespace {

constexpr unsigned kStandardRegisters = 3;
constexpr unsigned kEppRegisters = 8;  // base to base+7, the standard three among them

// Whether the comma-separated list has the word.
bool lists(const char* list, const char* word) {
  const std::size_t length = std::strlen(word);
  for (const char* at = std::strstr(list, word); at != nullptr; at = std::strstr(at + 1, word)) {
    const bool starts = at == list || at[-1] == ',';
    const char after = at[length];
    if (starts && (after == ',' || after == '\n' || after == '\0')) return true;
  }
  return false;
}

bool within(unsigned port, unsigned long first, unsigned count) {
  return first != 0 && port >= first && port - first < count;
}

// Which register of the listed parallel port N the port is.
Register register_of(std::uint16_t port, unsigned number, Parport& parport) {
  char path[96];
  char text[64];
  unsigned long base = 0;
  unsigned long base_hi = 0;
  std::snprintf(path, sizeof path, "/proc/sys/dev/parport/parport%u/base-addr", number);
  if (!read_text(path, text, sizeof text) || std::sscanf(text, "%lu %lu", &base, &base_hi) != 2 ||
      base == 0 || base > 0xffff) {
    return Register::none;
  }
  parport.number = number;
  parport.base = static_cast<std::uint16_t>(base);
  if (within(port, base, kStandardRegisters)) {
    return static_cast<Register>(port - base);
  }
  char modes[64] = "";
  std::snprintf(path, sizeof path, "/proc/sys/dev/parport/parport%u/modes", number);
  if (!read_text(path, modes, sizeof modes)) modes[0] = '\0';
  if (lists(modes, "EPP") && within(port, base, kEppRegisters)) return Register::epp;
  if (lists(modes, "ECP") && within(port, base_hi, kStandardRegisters)) return Register::ecp;
  return Register::none;
}

}  // namespace

ParportRegister find_register(std::uint16_t port) {
  ParportRegister found;
  DIR* directory = opendir("/proc/sys/dev/parport");
  if (directory == nullptr) return found;
  while (const dirent* entry = readdir(directory)) {
    unsigned number = 0;
    char rest = '\0';
    if (std::sscanf(entry->d_name, "parport%u%c", &number, &rest) != 1) continue;
    Parport parport;
    const Register which = register_of(port, number, parport);
    if (parport.base == 0) continue;
    if (found.which == Register::no_port || which != Register::none) {
      found.which = which;
      found.parport = parport;
    }
    if (which != Register::none) break;
  }
  closedir(directory);
  return found;
}

}  // namespace port_access
