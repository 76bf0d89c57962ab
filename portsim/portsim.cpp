// A simulated port-access library: the tool's test double and its demonstration back end.
//
// PC I/O ports are byte-wide, so each port is modelled as an 8-bit latch: Out32 keeps the low byte
// of the value, Inp32 returns it zero-extended, and a port nobody wrote reads ff because nothing
// drives the bus.
//
//   PORTSIM_READ=<hex>  Inp32 returns this 16-bit value instead, to force a match or a mismatch.
//   PORTSIM_LOG=<path>  appends one line per event: "load", "Out32 <port> <value>",
//                       "Inp32 <port> <result>", numbers as four lowercase hex digits, and last
//                       "unload" when the library is released, or "exit" when the process ends
//                       still holding it.
//
// One source, built into variants: PORTSIM_EXPORT_INP32 and PORTSIM_EXPORT_OUT32 choose which of
// the two functions the library exports.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#define INPOUT32_EXPORT __declspec(dllexport)
#else
#define INPOUT32_EXPORT __attribute__((visibility("default")))
#endif
#include <inpout32.h>

namespace {

// What each port latched, and whether anything wrote to it in this process. Unused in the variant
// that exports neither function.
struct Latches {
  std::uint8_t value[65536];
  bool written[65536];
};
[[maybe_unused]] Latches latches;

// Opened and closed for every line, so that the record survives however the process ends.
void log_line(const char* event, int port = -1, int value = -1) {
  const char* path = std::getenv("PORTSIM_LOG");
  if (path == nullptr || *path == '\0') return;
  std::FILE* log = std::fopen(path, "ab");
  if (log == nullptr) return;
  if (port < 0) {
    std::fprintf(log, "%s\n", event);
  } else {
    std::fprintf(log, "%s %04x %04x\n", event, static_cast<unsigned>(port),
                 static_cast<unsigned>(value));
  }
  std::fclose(log);
}

// The forced read-back value, if PORTSIM_READ holds one. A malformed setting is said on standard
// error, which the tests require to stay empty, so a typo in a test cannot pass unseen. Unused in
// the variant without Inp32.
[[maybe_unused]] bool forced_read(std::uint16_t& value) {
  const char* text = std::getenv("PORTSIM_READ");
  if (text == nullptr) return false;
  char* end = nullptr;
  const unsigned long number = std::strtoul(text, &end, 16);
  if (end == text || *end != '\0' || number > 0xffff) {
    std::fprintf(stderr, "portsim: PORTSIM_READ=%s is not a 16-bit hexadecimal number\n", text);
    return false;
  }
  value = static_cast<std::uint16_t>(number);
  return true;
}

}  // namespace

#if PORTSIM_EXPORT_OUT32
extern "C" INPOUT32_EXPORT void INPOUT32_CALL Out32(std::uint16_t port, std::uint16_t value) {
  latches.value[port] = static_cast<std::uint8_t>(value);
  latches.written[port] = true;
  log_line("Out32", port, value);
}
#endif

#if PORTSIM_EXPORT_INP32
extern "C" INPOUT32_EXPORT std::uint16_t INPOUT32_CALL Inp32(std::uint16_t port) {
  std::uint16_t result = latches.written[port] ? latches.value[port] : 0xff;
  forced_read(result);
  log_line("Inp32", port, result);
  return result;
}
#endif

// The last line tells a release (FreeLibrary, dlclose) from a process that ended still holding the
// library, so that the log shows whether the tool released it.
#ifdef _WIN32
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) log_line("load");
  // Windows passes a null lpReserved to a detach caused by FreeLibrary, and a non-null one when
  // the process is ending.
  if (reason == DLL_PROCESS_DETACH) log_line(reserved == nullptr ? "unload" : "exit");
  return TRUE;
}
#else
namespace {

bool process_exiting = false;

}  // namespace

// At exit() the handlers registered with atexit() run before the dynamic linker calls the loaded
// libraries' destructors, so the handler marks the end of the process first. At dlclose() this
// library's destructor runs before the handlers registered from inside it.
__attribute__((constructor)) static void on_load() {
  log_line("load");
  std::atexit([] { process_exiting = true; });
}
__attribute__((destructor)) static void on_unload() {
  log_line(process_exiting ? "exit" : "unload");
}
#endif
