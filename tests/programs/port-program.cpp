// port-program: a Windows program that uses the port-access library as device programmers, CNC and
// LCD tools do. Its import table names Inp32 and Out32 (it is linked with an import library, so
// Windows' loader, or Wine's, loads the library before the program starts); the other entry points
// it looks up. It pokes from threads, searches for a printer port, drives the control lines, polls,
// and moves buffers, and prints what it saw on standard output, in hexadecimal:
//
//   port-program worker <port> <value>   a thread made before the first call: the main thread
//                                        writes the value, then the worker reads the port, writes
//                                        the value's complement and reads it back
//   port-program threads <n> <calls> <port> <value>
//                                        n threads released at once, each <calls> times writing
//                                        the value and reading the port: the values they read
//   port-program probe                   the usual search: the first of 278, 378 and 3bc whose
//                                        status register ignores a write and whose data register
//                                        takes one
//   port-program control <base>          the control lines written and read back, and the data
//                                        direction seen in a data read: reverse, then forward
//   port-program poll <port> <count>     count reads of the port: the values read, and that the
//                                        program went on
//   port-program open                    IsInpOutDriverOpen
//   port-program read <n> <port>         DlPortReadPortUchar, Ushort or Ulong (n = 1, 2, 4)
//   port-program write <n> <port> <value>  DlPortWritePortUchar, Ushort or Ulong
//   port-program dlportio <port> <byte>...  through dlportio.dll: the bytes written to the port as
//                                        one buffer, then as many read back as one buffer
//   port-program after-free <port>       loads dlportio.dll, frees it, says whether the loader
//                                        still has it, then reads the port through the function
//                                        it looked up before
//
// The library is inpout32.dll for a 32-bit build and inpoutx64.dll for a 64-bit one.

#include <inpout32.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

#if defined(_WIN64)
constexpr char kLibrary[] = "inpoutx64.dll";
#else
constexpr char kLibrary[] = "inpout32.dll";
#endif

std::uint16_t hex(const char* text) {
  return static_cast<std::uint16_t>(std::strtoul(text, nullptr, 16));
}

// The values a loop read, each once, in the order first seen.
struct Seen {
  unsigned values[256] = {};
  int count = 0;
  void add(unsigned value) {
    for (int i = 0; i < count; ++i) {
      if (values[i] == value) return;
    }
    if (count < 256) values[count++] = value;
  }
  void print(const char* what) const {
    std::printf("%s", what);
    for (int i = 0; i < count; ++i) std::printf(" %x", values[i]);
    std::printf("\n");
  }
};

struct Poke {
  std::uint16_t port = 0;
  std::uint16_t value = 0;
  unsigned calls = 0;
  HANDLE go = nullptr;
  Seen seen;
  unsigned worker_read = 0;
  unsigned worker_back = 0;
};

DWORD WINAPI worker(void* argument) {
  auto* poke = static_cast<Poke*>(argument);
  WaitForSingleObject(poke->go, INFINITE);
  poke->worker_read = Inp32(poke->port);
  Out32(poke->port, static_cast<std::uint16_t>(~poke->value & 0xff));
  poke->worker_back = Inp32(poke->port);
  return 0;
}

DWORD WINAPI poker(void* argument) {
  auto* poke = static_cast<Poke*>(argument);
  WaitForSingleObject(poke->go, INFINITE);
  for (unsigned i = 0; i < poke->calls; ++i) {
    Out32(poke->port, poke->value);
    poke->seen.add(Inp32(poke->port));
  }
  return 0;
}

int run_worker(std::uint16_t port, std::uint16_t value) {
  Poke poke;
  poke.port = port;
  poke.value = value;
  poke.go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, worker, &poke, 0, nullptr);
  Out32(port, value);
  const unsigned main_read = Inp32(port);
  SetEvent(poke.go);
  WaitForSingleObject(thread, INFINITE);
  std::printf("main %x\nworker %x %x\n", main_read, poke.worker_read, poke.worker_back);
  return 0;
}

int run_threads(unsigned count, unsigned calls, std::uint16_t port, std::uint16_t value) {
  constexpr unsigned kMost = 64;
  if (count == 0 || count > kMost) return 1;
  static Poke pokes[kMost];
  HANDLE threads[kMost];
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  for (unsigned i = 0; i < count; ++i) {
    pokes[i].port = port;
    pokes[i].value = value;
    pokes[i].calls = calls;
    pokes[i].go = go;
    threads[i] = CreateThread(nullptr, 0, poker, &pokes[i], 0, nullptr);
  }
  SetEvent(go);
  WaitForMultipleObjects(count, threads, TRUE, INFINITE);
  Seen all;
  for (unsigned i = 0; i < count; ++i) {
    for (int j = 0; j < pokes[i].seen.count; ++j) all.add(pokes[i].seen.values[j]);
  }
  std::printf("threads %u x %u:", count, calls);
  all.print("");
  return 0;
}

int run_probe() {
  constexpr std::uint16_t kBases[] = {0x278, 0x378, 0x3bc};
  for (const std::uint16_t base : kBases) {
    const unsigned status = Inp32(static_cast<std::uint16_t>(base + 1));
    Out32(static_cast<std::uint16_t>(base + 1), static_cast<std::uint16_t>(status ^ 0x07));
    const bool status_kept = Inp32(static_cast<std::uint16_t>(base + 1)) == status;
    Out32(base, 0x55);
    const bool data_took = Inp32(base) == 0x55;
    Out32(base, 0xaa);
    if (status_kept && data_took && Inp32(base) == 0xaa) {
      std::printf("found %x\n", base);
      return 0;
    }
  }
  std::printf("found none\n");
  return 0;
}

int run_control(std::uint16_t base) {
  const auto control = static_cast<std::uint16_t>(base + 2);
  Out32(base, 0x5a);
  Out32(control, 0x0b);
  const unsigned lines = Inp32(control);
  Out32(control, 0x2b);
  const unsigned reverse_data = Inp32(base);
  const unsigned reverse_control = Inp32(control);
  Out32(control, 0x0b);
  const unsigned forward_data = Inp32(base);
  const unsigned forward_control = Inp32(control);
  Out32(control, 0x0c);
  std::printf("control %x\nreverse data %x control %x\nforward data %x control %x\n", lines,
              reverse_data, reverse_control, forward_data, forward_control);
  return 0;
}

int run_poll(std::uint16_t port, unsigned count) {
  Seen seen;
  for (unsigned i = 0; i < count; ++i) seen.add(Inp32(port));
  seen.print("read");
  std::printf("went on\n");
  return 0;
}

template <typename Function>
Function look_up(HMODULE library, const char* name) {
  const FARPROC address = GetProcAddress(library, name);
  if (address == nullptr) {
    std::fprintf(stderr, "no export %s\n", name);
    std::exit(2);
  }
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

int run_open() {
  const auto is_open =
      look_up<decltype(&IsInpOutDriverOpen)>(GetModuleHandleA(kLibrary), "IsInpOutDriverOpen");
  std::printf("%x\n", static_cast<unsigned>(is_open()));
  return 0;
}

int run_transfer(bool write, int width, std::uint32_t port, std::uint32_t value) {
  const HMODULE library = GetModuleHandleA(kLibrary);
  std::uint32_t result = 0;
  if (write && width == 1) {
    look_up<decltype(&DlPortWritePortUchar)>(library, "DlPortWritePortUchar")(
        port, static_cast<std::uint8_t>(value));
  } else if (write && width == 2) {
    look_up<decltype(&DlPortWritePortUshort)>(library, "DlPortWritePortUshort")(
        port, static_cast<std::uint16_t>(value));
  } else if (write && width == 4) {
    look_up<decltype(&DlPortWritePortUlong)>(library, "DlPortWritePortUlong")(port, value);
  } else if (width == 1) {
    result = look_up<decltype(&DlPortReadPortUchar)>(library, "DlPortReadPortUchar")(port);
  } else if (width == 2) {
    result = look_up<decltype(&DlPortReadPortUshort)>(library, "DlPortReadPortUshort")(port);
  } else if (width == 4) {
    result = look_up<decltype(&DlPortReadPortUlong)>(library, "DlPortReadPortUlong")(port);
  } else {
    return 1;
  }
  if (!write) std::printf("%x\n", static_cast<unsigned>(result));
  return 0;
}

int run_dlportio(std::uint16_t port, int count, char** bytes) {
  const HMODULE library = LoadLibraryA("dlportio.dll");
  if (library == nullptr) {
    std::fputs("LoadLibrary Failed.\n", stderr);
    return 2;
  }
  const auto write =
      look_up<decltype(&DlPortWritePortBufferUchar)>(library, "DlPortWritePortBufferUchar");
  const auto read =
      look_up<decltype(&DlPortReadPortBufferUchar)>(library, "DlPortReadPortBufferUchar");
  std::uint8_t out[64] = {};
  std::uint8_t in[64] = {};
  const auto size = static_cast<std::uint32_t>(count < 64 ? count : 64);
  for (std::uint32_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>(hex(bytes[i]));
  write(port, out, size);
  read(port, in, size);
  std::printf("read");
  for (std::uint32_t i = 0; i < size; ++i) std::printf(" %x", in[i]);
  std::printf("\n");
  FreeLibrary(library);
  return 0;
}

int run_after_free(std::uint32_t port) {
  const HMODULE library = LoadLibraryA("dlportio.dll");
  if (library == nullptr) {
    std::fputs("LoadLibrary Failed.\n", stderr);
    return 2;
  }
  const auto read = look_up<decltype(&DlPortReadPortUchar)>(library, "DlPortReadPortUchar");
  FreeLibrary(library);
  std::printf("%s\n", GetModuleHandleA("dlportio.dll") != nullptr ? "still loaded" : "unloaded");
  std::fflush(stdout);
  std::printf("%x\n", static_cast<unsigned>(read(port)));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* what = argc > 1 ? argv[1] : "";
  if (std::strcmp(what, "worker") == 0 && argc == 4) return run_worker(hex(argv[2]), hex(argv[3]));
  if (std::strcmp(what, "threads") == 0 && argc == 6) {
    return run_threads(static_cast<unsigned>(std::atoi(argv[2])),
                       static_cast<unsigned>(std::atoi(argv[3])), hex(argv[4]), hex(argv[5]));
  }
  if (std::strcmp(what, "probe") == 0 && argc == 2) return run_probe();
  if (std::strcmp(what, "control") == 0 && argc == 3) return run_control(hex(argv[2]));
  if (std::strcmp(what, "poll") == 0 && argc == 4) {
    return run_poll(hex(argv[2]), static_cast<unsigned>(std::atoi(argv[3])));
  }
  if (std::strcmp(what, "open") == 0 && argc == 2) return run_open();
  if (std::strcmp(what, "read") == 0 && argc == 4) {
    return run_transfer(false, std::atoi(argv[2]), std::strtoul(argv[3], nullptr, 16), 0);
  }
  if (std::strcmp(what, "write") == 0 && argc == 5) {
    return run_transfer(true, std::atoi(argv[2]), std::strtoul(argv[3], nullptr, 16),
                        std::strtoul(argv[4], nullptr, 16));
  }
  if (std::strcmp(what, "after-free") == 0 && argc == 3) {
    return run_after_free(std::strtoul(argv[2], nullptr, 16));
  }
  if (std::strcmp(what, "dlportio") == 0 && argc >= 4) {
    return run_dlportio(hex(argv[2]), argc - 3, argv + 3);
  }
  std::fputs(
      "usage: port-program worker|threads|probe|control|poll|open|read|write|dlportio|after-free "
      "...\n",
      stderr);
  return 1;
}
