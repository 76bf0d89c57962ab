// poke-ports: loads a port-access library as another program might, makes the transfers it is
// given on any number of ports in one process, from one thread or from many, and unloads it, so
// that a test can see what the library does across ports and threads: each port claimed once,
// every one given back at unload, every thread granted what it uses.
//
// usage: poke-ports <library> <transfer>...
//   w<port>=<value>  Out32(port, value)
//   r<port>          Inp32(port), printed as "<port> <value>" (hexadecimal)
// and, for a library with the other entry points (the one for Windows programs under Wine):
//   W<n>:<port>=<value>  DlPortWritePortUchar, Ushort or Ulong (n = 1, 2, 4), port 32 bits wide
//   R<n>:<port>          DlPortReadPortUchar, Ushort or Ulong, printed as "<port> <value>"
//   WB<n>:<port>=<v>,<v>...  DlPortWritePortBufferUchar, Ushort or Ulong with those values (none:
//                        a count of 0)
//   RB<n>:<port>*<count> DlPortReadPortBufferUchar, Ushort or Ulong, printed as
//                        "<port> <value> <value>..."
//   WB<n>:<port>*<count>!, RB<n>:<port>*<count>!  the same with no buffer (a null pointer)
//   open                 IsInpOutDriverOpen, printed as "driver open <result>"
// and from other threads, each list of transfers joined by "+":
//   worker:<transfers>   made by a thread that was started before the first transfer of all and
//                        waited until now; its reads printed as above
//   threads<N>x<M>:<transfers>  made M times over by each of N threads released at once; each read
//                        printed once for every value it gave ("<port> <value>", sorted)
// Prints "unloaded" once the library is unloaded, and how many more descriptors below 256 (those of
// a memory checker lie above) the process has open than before it loaded the library: 0, unless the
// library leaked one.

#include <dirent.h>
#include <dlfcn.h>
#include <inpout32.h>

#include <barrier>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <semaphore>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

void* library = nullptr;

// The entry point named, looked up only when a transfer asks for it; the process ends where the
// library lacks it.
template <typename Function>
Function entry(const char* name) {
  void* address = dlsym(library, name);
  if (address == nullptr) {
    std::fprintf(stderr, "poke-ports: the library lacks %s\n", name);
    std::exit(2);
  }
  return reinterpret_cast<Function>(address);
}

[[noreturn]] void not_a_transfer(const std::string& text) {
  std::fprintf(stderr, "poke-ports: not a transfer: %s\n", text.c_str());
  std::exit(2);
}

// One transfer, parsed once, made as often as asked.
struct Transfer {
  enum Kind : std::uint8_t { out32, inp32, write, read, write_buffer, read_buffer, driver_open };
  Kind kind = inp32;
  unsigned width = 1;
  std::uint32_t port = 0;
  std::uint32_t value = 0;
  std::vector<std::uint32_t> values;  // write_buffer
  std::uint32_t count = 0;            // read_buffer, and a buffer left out
  bool no_buffer = false;
};

std::uint32_t hex(const char* text, const char** end) {
  char* stop = nullptr;
  const auto number = static_cast<std::uint32_t>(std::strtoul(text, &stop, 16));
  *end = stop;
  return number;
}

Transfer parse(const std::string& text) {
  Transfer transfer;
  const char* at = text.c_str();
  const char* end = nullptr;
  if (text == "open") {
    transfer.kind = Transfer::driver_open;
    return transfer;
  }
  const bool buffer = text.size() > 3 && text[1] == 'B';
  const char op = text[0];
  if (op == 'w' || op == 'r') {
    transfer.kind = op == 'w' ? Transfer::out32 : Transfer::inp32;
    at += 1;
  } else if (op == 'W' || op == 'R') {
    const char width = text[buffer ? 2 : 1];
    if (width != '1' && width != '2' && width != '4') not_a_transfer(text);
    if (text[buffer ? 3 : 2] != ':') not_a_transfer(text);
    transfer.width = static_cast<unsigned>(width - '0');
    if (buffer) {
      transfer.kind = op == 'W' ? Transfer::write_buffer : Transfer::read_buffer;
    } else {
      transfer.kind = op == 'W' ? Transfer::write : Transfer::read;
    }
    at += buffer ? 4 : 3;
  } else {
    not_a_transfer(text);
  }
  transfer.port = hex(at, &end);
  if (end == at) not_a_transfer(text);
  const bool writes = transfer.kind == Transfer::out32 || transfer.kind == Transfer::write ||
                      transfer.kind == Transfer::write_buffer;
  if (buffer && *end == '*') {
    transfer.count = hex(end + 1, &end);
    transfer.no_buffer = *end == '!';
    if (transfer.no_buffer) ++end;
  } else if (writes && *end == '=') {
    at = end + 1;
    if (transfer.kind == Transfer::write_buffer) {
      while (*at != '\0') {
        transfer.values.push_back(hex(at, &end));
        at = *end == ',' ? end + 1 : end;
        if (end == at && *at != '\0') not_a_transfer(text);
      }
      end = at;
      transfer.count = static_cast<std::uint32_t>(transfer.values.size());
    } else {
      transfer.value = hex(at, &end);
    }
  } else if (writes || transfer.kind == Transfer::read_buffer) {
    not_a_transfer(text);
  }
  if (*end != '\0') not_a_transfer(text);
  return transfer;
}

std::vector<Transfer> parse_list(const std::string& text) {
  std::vector<Transfer> transfers;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t plus = text.find('+', start);
    const std::size_t stop = plus == std::string::npos ? text.size() : plus;
    transfers.push_back(parse(text.substr(start, stop - start)));
    start = stop + 1;
  }
  return transfers;
}

std::string printed(std::uint32_t port, const std::vector<std::uint32_t>& values) {
  std::string line;
  char number[16];
  std::snprintf(number, sizeof number, "%" PRIx32, port);
  line += number;
  for (const std::uint32_t value : values) {
    std::snprintf(number, sizeof number, " %" PRIx32, value);
    line += number;
  }
  return line;
}

// Makes the transfer; what a read gave, as the line to print, or "" for a write.
std::string make(const Transfer& transfer) {
  const std::uint32_t port = transfer.port;
  switch (transfer.kind) {
    case Transfer::out32:
      entry<decltype(&Out32)>("Out32")(static_cast<std::uint16_t>(port),
                                       static_cast<std::uint16_t>(transfer.value));
      return "";
    case Transfer::inp32:
      return printed(port, {entry<decltype(&Inp32)>("Inp32")(static_cast<std::uint16_t>(port))});
    case Transfer::driver_open:
      return "driver open " +
             std::to_string(entry<decltype(&IsInpOutDriverOpen)>("IsInpOutDriverOpen")());
    case Transfer::write:
      if (transfer.width == 1) {
        entry<decltype(&DlPortWritePortUchar)>("DlPortWritePortUchar")(
            port, static_cast<std::uint8_t>(transfer.value));
      } else if (transfer.width == 2) {
        entry<decltype(&DlPortWritePortUshort)>("DlPortWritePortUshort")(
            port, static_cast<std::uint16_t>(transfer.value));
      } else {
        entry<decltype(&DlPortWritePortUlong)>("DlPortWritePortUlong")(port, transfer.value);
      }
      return "";
    case Transfer::read: {
      std::uint32_t value = 0;
      if (transfer.width == 1) {
        value = entry<decltype(&DlPortReadPortUchar)>("DlPortReadPortUchar")(port);
      } else if (transfer.width == 2) {
        value = entry<decltype(&DlPortReadPortUshort)>("DlPortReadPortUshort")(port);
      } else {
        value = entry<decltype(&DlPortReadPortUlong)>("DlPortReadPortUlong")(port);
      }
      return printed(port, {value});
    }
    case Transfer::write_buffer: {
      std::vector<std::uint8_t> bytes;
      std::vector<std::uint16_t> words;
      std::vector<std::uint32_t> longs = transfer.values;
      for (const std::uint32_t value : transfer.values) {
        bytes.push_back(static_cast<std::uint8_t>(value));
        words.push_back(static_cast<std::uint16_t>(value));
      }
      // A count of 0 still passes a buffer that holds something, which must not be sent.
      bytes.push_back(0xee);
      words.push_back(0xeeee);
      longs.push_back(0xeeeeeeee);
      const bool none = transfer.no_buffer;
      if (transfer.width == 1) {
        entry<decltype(&DlPortWritePortBufferUchar)>("DlPortWritePortBufferUchar")(
            port, none ? nullptr : bytes.data(), transfer.count);
      } else if (transfer.width == 2) {
        entry<decltype(&DlPortWritePortBufferUshort)>("DlPortWritePortBufferUshort")(
            port, none ? nullptr : words.data(), transfer.count);
      } else {
        entry<decltype(&DlPortWritePortBufferUlong)>("DlPortWritePortBufferUlong")(
            port, none ? nullptr : longs.data(), transfer.count);
      }
      return "";
    }
    case Transfer::read_buffer: {
      // One element more than asked for, marked, which the library must leave as it is.
      const std::size_t size = transfer.count + 1U;
      std::vector<std::uint8_t> bytes(size, 0xee);
      std::vector<std::uint16_t> words(size, 0xeeee);
      std::vector<std::uint32_t> longs(size, 0xeeeeeeee);
      std::vector<std::uint32_t> values;
      const bool none = transfer.no_buffer;
      if (transfer.width == 1) {
        entry<decltype(&DlPortReadPortBufferUchar)>("DlPortReadPortBufferUchar")(
            port, none ? nullptr : bytes.data(), transfer.count);
        values.assign(bytes.begin(), bytes.end());
      } else if (transfer.width == 2) {
        entry<decltype(&DlPortReadPortBufferUshort)>("DlPortReadPortBufferUshort")(
            port, none ? nullptr : words.data(), transfer.count);
        values.assign(words.begin(), words.end());
      } else {
        entry<decltype(&DlPortReadPortBufferUlong)>("DlPortReadPortBufferUlong")(
            port, none ? nullptr : longs.data(), transfer.count);
        values = longs;
      }
      return printed(port, values);
    }
  }
  return "";
}

void print(const std::string& line) {
  if (!line.empty()) std::printf("%s\n", line.c_str());
}

// A thread started before any transfer, which makes its transfers when released.
struct Worker {
  std::binary_semaphore go{0};
  std::vector<Transfer> transfers;
  std::vector<std::string> lines;
  std::thread thread;
};

void threads(const std::string& text, const std::string& list) {
  unsigned count = 0;
  unsigned times = 0;
  char rest = '\0';
  if (std::sscanf(text.c_str(), "threads%ux%u%c", &count, &times, &rest) != 3 || rest != ':' ||
      count == 0) {
    not_a_transfer(text);
  }
  const std::vector<Transfer> transfers = parse_list(list);
  std::barrier start(count);
  std::mutex results_lock;
  std::set<std::string> results;
  std::vector<std::thread> running;
  for (unsigned i = 0; i < count; ++i) {
    running.emplace_back([&] {
      std::set<std::string> seen;
      start.arrive_and_wait();
      for (unsigned round = 0; round < times; ++round) {
        for (const Transfer& transfer : transfers) {
          const std::string line = make(transfer);
          if (!line.empty()) seen.insert(line);
        }
      }
      const std::lock_guard lock(results_lock);
      results.merge(seen);
    });
  }
  for (std::thread& thread : running) thread.join();
  for (const std::string& line : results) print(line);
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
  library = dlopen(argv[1], RTLD_NOW);
  if (library == nullptr) {
    std::fprintf(stderr, "poke-ports: %s\n", dlerror());
    return 2;
  }
  if (dlsym(library, "Inp32") == nullptr || dlsym(library, "Out32") == nullptr) {
    std::fputs("poke-ports: the library lacks Inp32 or Out32\n", stderr);
    return 2;
  }
  // The workers, each started now and waiting for its turn.
  std::vector<Worker> workers(static_cast<std::size_t>(argc));
  for (int i = 2; i < argc; ++i) {
    if (std::strncmp(argv[i], "worker:", 7) != 0) continue;
    Worker& worker = workers[static_cast<std::size_t>(i)];
    worker.transfers = parse_list(argv[i] + 7);
    worker.thread = std::thread([&worker] {
      worker.go.acquire();
      for (const Transfer& transfer : worker.transfers) worker.lines.push_back(make(transfer));
    });
  }
  for (int i = 2; i < argc; ++i) {
    const std::string text = argv[i];
    if (text.starts_with("worker:")) {
      Worker& worker = workers[static_cast<std::size_t>(i)];
      worker.go.release();
      worker.thread.join();
      for (const std::string& line : worker.lines) print(line);
    } else if (text.starts_with("threads")) {
      const std::size_t colon = text.find(':');
      if (colon == std::string::npos) not_a_transfer(text);
      threads(text, text.substr(colon + 1));
    } else {
      print(make(parse(text)));
    }
  }
  std::fflush(stdout);
  if (dlclose(library) != 0) return 2;
  std::printf("unloaded, %d descriptors left open\n", open_descriptors() - before);
  return 0;
}
