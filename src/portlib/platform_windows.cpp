#include "platform.hpp"

namespace portlib {

// Port access needs an administrator, so a library planted in whatever directory the tool is
// started from must not be loaded. Naming the application's own directory as the DLL directory
// replaces the working directory in the search order on Windows and under Wine alike. An empty
// name would do on Windows but Wine ignores it, and SetDefaultDllDirectories would drop PATH too.
void keep_working_directory_out_of_library_search() {
  constexpr DWORD kLongestPath = 32768;
  wchar_t directory[kLongestPath];
  const DWORD length = GetModuleFileNameW(nullptr, directory, kLongestPath);
  if (length == 0 || length >= kLongestPath) {
    SetDllDirectoryW(L"");
    return;
  }
  for (DWORD i = length; i > 0; --i) {
    if (directory[i - 1] == L'\\') {
      directory[i - 1] = L'\0';
      break;
    }
  }
  SetDllDirectoryW(directory);
}

}  // namespace portlib
