#pragma once

// The one place where the two targets differ. On Windows the port-access library is a DLL and the
// system's own loader functions are used. Elsewhere the same three functions are provided over
// the dynamic linker, so that the binding above reads the same on every target.

#ifdef _WIN32

#include <windows.h>

#else

using HMODULE = void*;
using FARPROC = void (*)();

HMODULE LoadLibraryA(const char* file_name);
FARPROC GetProcAddress(HMODULE module, const char* name);
int FreeLibrary(HMODULE module);

#endif

namespace portlib {

// Takes the working directory out of the places searched for the port-access library, keeping the
// application's directory, the system directories and PATH.
void keep_working_directory_out_of_library_search();

}  // namespace portlib
