// Calls one export of inpout32.dll as a Windows program written for that library would, and prints
// what it returned, in hexadecimal, on standard output:
//
//   exports <export> [<port> [<value>]]      (port and value in hexadecimal)
//
// Each call goes through a pointer of the type abi/inpout32.h declares, with the Windows API's
// calling convention; the stack pointer must be where it was after the call (status 3 otherwise).
// A missing export ends with status 2, a bad argument with status 1.

#include <inpout32.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace {

std::uintptr_t stack_pointer_after = 0;
std::uintptr_t stack_pointer_before = 0;

// Calls the function at address with the arguments, and notes the stack pointer around the call.
template <typename Function, typename... Arguments>
auto call(FARPROC address, Arguments... arguments) {
  const auto function = reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(address));
  asm volatile("movl %%esp, %0" : "=r"(stack_pointer_before)::"memory");
  if constexpr (std::is_void_v<decltype(function(arguments...))>) {
    function(arguments...);
    asm volatile("movl %%esp, %0" : "=r"(stack_pointer_after)::"memory");
    return 0U;
  } else {
    const auto result = function(arguments...);
    asm volatile("movl %%esp, %0" : "=r"(stack_pointer_after)::"memory");
    return static_cast<unsigned>(result);
  }
}

bool hex(const char* text, std::uint32_t& value) {
  char* end = nullptr;
  const unsigned long number = std::strtoul(text, &end, 16);
  value = static_cast<std::uint32_t>(number);
  return text[0] != '\0' && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  std::uint32_t port = 0;
  std::uint32_t value = 0;
  if (argc < 2 || (argc > 2 && !hex(argv[2], port)) || (argc > 3 && !hex(argv[3], value))) {
    std::fputs("usage: exports <export> [<port> [<value>]]\n", stderr);
    return 1;
  }
  const HMODULE library = LoadLibraryA("inpout32.dll");
  if (library == nullptr) {
    std::fputs("LoadLibrary Failed.\n", stderr);
    return 2;
  }
  const char* name = argv[1];
  const FARPROC address = GetProcAddress(library, name);
  if (address == nullptr) {
    std::fprintf(stderr, "no export %s\n", name);
    return 2;
  }
  const auto port16 = static_cast<std::uint16_t>(port);
  unsigned result = 0;
  if (std::strcmp(name, "Inp32") == 0) {
    result = call<decltype(Inp32)>(address, port16);
  } else if (std::strcmp(name, "Out32") == 0) {
    // The whole 32-bit number in the argument's slot: the library reads its low half.
    result = call<void WINAPI(std::uint32_t, std::uint32_t)>(address, port, value);
  } else if (std::strcmp(name, "IsInpOutDriverOpen") == 0) {
    result = call<decltype(IsInpOutDriverOpen)>(address);
  } else if (std::strcmp(name, "DlPortReadPortUchar") == 0) {
    result = call<decltype(DlPortReadPortUchar)>(address, port);
  } else if (std::strcmp(name, "DlPortWritePortUchar") == 0) {
    result = call<decltype(DlPortWritePortUchar)>(address, port, static_cast<std::uint8_t>(value));
  } else if (std::strcmp(name, "DlPortReadPortUshort") == 0) {
    result = call<decltype(DlPortReadPortUshort)>(address, port);
  } else if (std::strcmp(name, "DlPortWritePortUshort") == 0) {
    result =
        call<decltype(DlPortWritePortUshort)>(address, port, static_cast<std::uint16_t>(value));
  } else if (std::strcmp(name, "DlPortReadPortUlong") == 0) {
    result = call<decltype(DlPortReadPortUlong)>(address, port);
  } else if (std::strcmp(name, "DlPortWritePortUlong") == 0) {
    result = call<decltype(DlPortWritePortUlong)>(address, port, value);
  } else {
    std::fprintf(stderr, "exports: %s is not an export this program calls\n", name);
    return 1;
  }
  if (stack_pointer_after != stack_pointer_before) {
    std::fprintf(stderr, "the stack pointer moved by %ld bytes\n",
                 static_cast<long>(stack_pointer_after - stack_pointer_before));
    return 3;
  }
  std::printf("%x\n", result);
  FreeLibrary(library);
  return 0;
}
