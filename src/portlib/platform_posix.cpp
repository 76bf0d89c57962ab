#include <dlfcn.h>

#include "platform.hpp"

// A file name without a slash is looked for along LD_LIBRARY_PATH, then the executable's RUNPATH
// ($ORIGIN: the directory the tool is in), then the system's library directories.
HMODULE LoadLibraryA(const char* file_name) { return dlopen(file_name, RTLD_NOW); }

FARPROC GetProcAddress(HMODULE module, const char* name) {
  return reinterpret_cast<FARPROC>(dlsym(module, name));
}

int FreeLibrary(HMODULE module) { return dlclose(module) == 0; }

namespace portlib {

// The dynamic linker never looks in the working directory unless LD_LIBRARY_PATH says so.
void keep_working_directory_out_of_library_search() {}

}  // namespace portlib
