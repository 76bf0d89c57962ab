#pragma once

#include <inpout32.h>

#include <cstdint>

#include "platform.hpp"

namespace portlib {

// Pointers to the library's two exports, typed by their one declaration.
using Inp32Function = decltype(&Inp32);
using Out32Function = decltype(&Out32);

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
