#pragma once

#include <cstdint>

#include "platform.hpp"

namespace portlib {

// The library's two exports. Each 16-bit argument takes one 32-bit slot, and the called function
// removes its own arguments (WINAPI, that is __stdcall on 32-bit Windows).
using Inp32Function = std::uint16_t(WINAPI*)(std::uint16_t port);
using Out32Function = void(WINAPI*)(std::uint16_t port, std::uint16_t value);

inline constexpr char kLibraryFileName[] = "inpout32.dll";

enum class LoadOutcome { ready, library_not_loaded, read_function_missing, write_function_missing };

// Owns the loaded port-access library for one run and releases it on every path.
class PortLibrary {
 public:
  PortLibrary() = default;
  PortLibrary(const PortLibrary&) = delete;
  PortLibrary& operator=(const PortLibrary&) = delete;
  ~PortLibrary() { release(); }

  // Loads the library and resolves Inp32, then Out32.
  LoadOutcome load();

  // Only after load() returned ready.
  void write(std::uint16_t port, std::uint16_t value) const { out32_(port, value); }
  std::uint16_t read(std::uint16_t port) const { return inp32_(port); }

  void release();

 private:
  HMODULE module_ = nullptr;
  Inp32Function inp32_ = nullptr;
  Out32Function out32_ = nullptr;
};

}  // namespace portlib
