// port-calls: what one call on a port whose way is already chosen costs, against the way alone.
// Through the stand-in machine (tests/helpers/port-file.cpp, preloaded, with PORT_FILE), where the
// chosen way is /dev/port: the library's Out32 and Inp32 against the same pwrite and pread on
// /dev/port made directly. Each of <threads> threads makes <pairs> / <threads> pairs, each thread
// on a port of its own (0x200 on); the best of <rounds> rounds of each, taken in turn, is printed
// in nanoseconds per pair, then their ratio.
//
// usage: port-calls <inpout32.dll> <pairs> <threads> <rounds>

#include <dlfcn.h>
#include <fcntl.h>
#include <inpout32.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

constexpr std::uint16_t kFirstPort = 0x200;

decltype(&Out32) out32 = nullptr;
decltype(&Inp32) inp32 = nullptr;
int dev_port = -1;

void library_pairs(std::uint16_t port, long pairs) {
  for (long i = 0; i < pairs; ++i) {
    out32(port, static_cast<std::uint16_t>(i & 0xff));
    if (inp32(port) != (i & 0xff)) std::abort();
  }
}

void way_pairs(std::uint16_t port, long pairs) {
  for (long i = 0; i < pairs; ++i) {
    auto byte = static_cast<std::uint8_t>(i & 0xff);
    if (pwrite(dev_port, &byte, 1, port) != 1) std::abort();
    if (pread(dev_port, &byte, 1, port) != 1 || byte != (i & 0xff)) std::abort();
  }
}

// Nanoseconds per pair, with the pairs shared out among the threads.
double timed(void (*pairs)(std::uint16_t, long), long total, int threads) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> running;
  for (int i = 0; i < threads; ++i) {
    running.emplace_back(pairs, static_cast<std::uint16_t>(kFirstPort + i), total / threads);
  }
  for (std::thread& thread : running) thread.join();
  const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
  return took.count() / static_cast<double>(total);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs("usage: port-calls <inpout32.dll> <pairs> <threads> <rounds>\n", stderr);
    return 2;
  }
  void* library = dlopen(argv[1], RTLD_NOW);
  dev_port = open("/dev/port", O_RDWR | O_CLOEXEC);
  if (library == nullptr || dev_port < 0) {
    std::fputs("port-calls: no library, or no /dev/port to compare with\n", stderr);
    return 2;
  }
  out32 = reinterpret_cast<decltype(&Out32)>(dlsym(library, "Out32"));
  inp32 = reinterpret_cast<decltype(&Inp32)>(dlsym(library, "Inp32"));
  const long pairs = std::atol(argv[2]);
  const int threads = std::atoi(argv[3]);
  const int rounds = std::atoi(argv[4]);
  // The ways chosen before the clock starts.
  for (int i = 0; i < threads; ++i) out32(static_cast<std::uint16_t>(kFirstPort + i), 0);
  double best_library = 1e30;
  double best_way = 1e30;
  for (int round = 0; round < rounds; ++round) {
    const double library_ns = timed(library_pairs, pairs, threads);
    const double way_ns = timed(way_pairs, pairs, threads);
    if (library_ns < best_library) best_library = library_ns;
    if (way_ns < best_way) best_way = way_ns;
  }
  std::printf("%.1f %.1f %.3f\n", best_library, best_way, best_library / best_way);
  dlclose(library);
  return 0;
}
