// poke-ports: loads a port-access library as another program might, makes the transfers it is
// given on any number of ports in one process, and unloads it, so that a test can see what the
// library does across ports: each claimed once, every one given back at unload.
//
// usage: poke-ports <library> <transfer>...
//   w<port>=<value>  Out32(port, value)
//   r<port>          Inp32(port), printed as "<port> <value>" (hexadecimal)
// and, for a library with the other entry points (the one for Windows programs under Wine):
//   W<n>:<port>=<value>  DlPortWritePortUchar, Ushort or Ulong (n = 1, 2, 4), port 32 bits wide
//   R<n>:<port>          DlPortReadPortUchar, Ushort or Ulong, printed as "<port> <value>"
//   open                 IsInpOutDriverOpen, printed as "driver open <result>"
// Prints "unloaded" once the library is unloaded, and how many more descriptors below 256 (those of
// a memory checker lie above) the process has open than before it loaded the library: 0, unless the
// library leaked one.

#include <dirent.h>
#include <dlfcn.h>
#include <inpout32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The entry point named, looked up only when a transfer asks for it; the process ends where the
// library lacks it.
template <typename Function>
Function entry(void* library, const char* name) {
  void* address = dlsym(library, name);
  if (address == nullptr) {
    std::fprintf(stderr, "poke-ports: the library lacks %s\n", name);
    std::exit(2);
  }
  return reinterpret_cast<Function>(address);
}

// W<n>:<port>=<value> and R<n>:<port>, through the DlPort readers and writers; false where the
// transfer is none of these.
bool wide_transfer(void* library, const char* transfer) {
  const char op = transfer[0];
  const char width = transfer[1];
  if ((op != 'W' && op != 'R') || transfer[2] != ':') return false;
  char* end = nullptr;
  const auto port = static_cast<std::uint32_t>(std::strtoul(transfer + 3, &end, 16));
  if (op == 'R' && *end == '\0') {
    std::uint32_t value = 0;
    if (width == '1') {
      value = entry<decltype(&DlPortReadPortUchar)>(library, "DlPortReadPortUchar")(port);
    } else if (width == '2') {
      value = entry<decltype(&DlPortReadPortUshort)>(library, "DlPortReadPortUshort")(port);
    } else if (width == '4') {
      value = entry<decltype(&DlPortReadPortUlong)>(library, "DlPortReadPortUlong")(port);
    } else {
      return false;
    }
    std::printf("%x %x\n", port, value);
    return true;
  }
  if (op != 'W' || *end != '=') return false;
  const auto value = static_cast<std::uint32_t>(std::strtoul(end + 1, nullptr, 16));
  if (width == '1') {
    entry<decltype(&DlPortWritePortUchar)>(library, "DlPortWritePortUchar")(
        port, static_cast<std::uint8_t>(value));
  } else if (width == '2') {
    entry<decltype(&DlPortWritePortUshort)>(library, "DlPortWritePortUshort")(
        port, static_cast<std::uint16_t>(value));
  } else if (width == '4') {
    entry<decltype(&DlPortWritePortUlong)>(library, "DlPortWritePortUlong")(port, value);
  } else {
    return false;
  }
  return true;
}

int open_descriptors() {
  DIR* descriptors = opendir("/proc/self/fd");
  if (descriptors == nullptr) return -1000;
  int open_count = 0;
  while (const dirent* entry = readdir(descriptors)) {
    const int number = std::atoi(entry->d_name);
    if (entry->d_name[0] != '.' && number < 256 && number != dirfd(descriptors)) ++open_count;
  }
  closedir(descriptors);
  return open_count;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Each line as it is made: a library that ends the process keeps none of them back.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  if (argc < 2) {
    std::fputs("usage: poke-ports <library> <transfer>...\n", stderr);
    return 2;
  }
  const int before = open_descriptors();
  void* library = dlopen(argv[1], RTLD_NOW);
  if (library == nullptr) {
    std::fprintf(stderr, "poke-ports: %s\n", dlerror());
    return 2;
  }
  using Read = decltype(&Inp32);
  using Write = decltype(&Out32);
  const auto read = reinterpret_cast<Read>(dlsym(library, "Inp32"));
  const auto write = reinterpret_cast<Write>(dlsym(library, "Out32"));
  if (read == nullptr || write == nullptr) {
    std::fputs("poke-ports: the library lacks Inp32 or Out32\n", stderr);
    return 2;
  }
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "open") == 0) {
      std::printf("driver open %d\n",
                  entry<decltype(&IsInpOutDriverOpen)>(library, "IsInpOutDriverOpen")());
      continue;
    }
    if (wide_transfer(library, argv[i])) continue;
    char* end = nullptr;
    const auto port = static_cast<std::uint16_t>(std::strtoul(argv[i] + 1, &end, 16));
    if (argv[i][0] == 'w' && *end == '=') {
      write(port, static_cast<std::uint16_t>(std::strtoul(end + 1, nullptr, 16)));
    } else if (argv[i][0] == 'r' && *end == '\0') {
      std::printf("%x %x\n", port, read(port));
    } else {
      std::fprintf(stderr, "poke-ports: not a transfer: %s\n", argv[i]);
      return 2;
    }
  }
  std::fflush(stdout);
  if (dlclose(library) != 0) return 2;
  std::printf("unloaded, %d descriptors left open\n", open_descriptors() - before);
  return 0;
}
