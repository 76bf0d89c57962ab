// poke-ports: loads a port-access library as another program might, makes the transfers it is
// given on any number of ports in one process, and unloads it, so that a test can see what the
// library does across ports: each claimed once, every one given back at unload.
//
// usage: poke-ports <library> <transfer>...
//   w<port>=<value>  Out32(port, value)
//   r<port>          Inp32(port), printed as "<port> <value>" (hexadecimal)
// Prints "unloaded" once the library is unloaded, and how many more descriptors below 256 (those of
// a memory checker lie above) the process has open than before it loaded the library: 0, unless the
// library leaked one.

#include <dirent.h>
#include <dlfcn.h>
#include <inpout32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

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
