#include "port_library.hpp"

namespace portlib {

namespace {

// FARPROC is a placeholder type: going through void(*)() says the cast to the real signature is
// intended.
template <typename Function>
Function resolve(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

LoadOutcome PortLibrary::load() {
  keep_working_directory_out_of_library_search();
  module_ = LoadLibraryA(kLibraryFileName);
  if (module_ == nullptr) return LoadOutcome::library_not_loaded;
  inp32_ = resolve<Inp32Function>(module_, "Inp32");
  if (inp32_ == nullptr) return LoadOutcome::read_function_missing;
  out32_ = resolve<Out32Function>(module_, "Out32");
  if (out32_ == nullptr) return LoadOutcome::write_function_missing;
  return LoadOutcome::ready;
}

void PortLibrary::release() {
  if (module_ == nullptr) return;
  FreeLibrary(module_);
  module_ = nullptr;
  inp32_ = nullptr;
  out32_ = nullptr;
}

}  // namespace portlib
