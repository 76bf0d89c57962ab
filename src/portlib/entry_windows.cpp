#include <cstddef>

#include "portpoke.hpp"

// Built with -municode, the tool starts here with its arguments in UTF-16, as they were typed. A
// plain main would get them from the ANSI command line, which Windows makes by a "best fit"
// mapping: a full-width digit becomes an ASCII digit, a full-width minus a '-', an ideographic
// space a blank. An argument that the reading rules refuse would then be read as a number, and a
// port the user did not name could be written. Instead every code unit above 0x7f becomes one byte
// above 127, which the reader refuses before the digits and stops at after them; ASCII passes as it
// is.

namespace {

constexpr char kNotAscii = '\x80';

// A command line holds at most 32767 characters, so at most 16384 arguments and the program's name.
constexpr int kMostArguments = 16385;
char* narrow_argv[kMostArguments + 1];

// Narrows a string in its own storage: byte i is written only after code unit i was read, and
// never reaches a code unit still to be read.
char* narrow_in_place(wchar_t* wide) {
  char* const narrow = reinterpret_cast<char*>(wide);
  for (std::size_t i = 0;; ++i) {
    const wchar_t unit = wide[i];
    narrow[i] = unit > 0x7f ? kNotAscii : static_cast<char>(unit);
    if (unit == L'\0') return narrow;
  }
}

}  // namespace

extern "C" int wmain(int argc, wchar_t* argv[]) {
  if (argc > kMostArguments) argc = kMostArguments;  // cannot happen; the usage line follows
  for (int i = 0; i < argc; ++i) narrow_argv[i] = narrow_in_place(argv[i]);
  narrow_argv[argc] = nullptr;
  return portpoke(argc, narrow_argv);
}
