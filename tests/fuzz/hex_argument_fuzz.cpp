// Feeds arbitrary bytes to the argument reader as one command-line argument and compares every
// result with a model written from the reader's documented behaviour, not from its code:
//
//   Leading white space (the six ASCII characters) is skipped, and of what follows only the first
//   32767 characters count. A sign and a 0x prefix may come first. With at most 16 significant
//   digits the value is that of the last four digits, negated modulo 65536 under a minus sign;
//   with 17 or more it is ffff, or 0 under a minus sign. No digit where one must stand (the 0 of
//   0x counts as one): unreadable.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "hex_argument.hpp"

namespace {

std::optional<std::uint16_t> model(const std::string& argument) {
  const std::size_t start = argument.find_first_not_of(" \t\n\v\f\r");
  if (start == std::string::npos) return std::nullopt;
  const std::string text = argument.substr(start, 32767);

  std::size_t at = 0;
  const bool negative = text[0] == '-';
  if (text[0] == '+' || text[0] == '-') at = 1;
  const bool prefixed = text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0;
  if (prefixed) at += 2;

  const std::size_t end =
      std::min(text.find_first_not_of("0123456789abcdefABCDEF", at), text.size());
  std::string digits = text.substr(at, end - at);
  if (digits.empty() && !prefixed) return std::nullopt;

  digits.erase(0, digits.find_first_not_of('0'));
  if (digits.size() >= 17) return negative ? 0x0000 : 0xffff;
  const std::string last_four = digits.size() > 4 ? digits.substr(digits.size() - 4) : digits;
  const unsigned number = last_four.empty() ? 0 : std::strtoul(last_four.c_str(), nullptr, 16);
  return static_cast<std::uint16_t>(negative ? 0x10000 - number : number);
}

void print(const char* what, const std::optional<std::uint16_t>& value) {
  if (value) {
    std::fprintf(stderr, "%s %04x\n", what, *value);
  } else {
    std::fprintf(stderr, "%s unreadable\n", what);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A command-line argument ends at its first NUL.
  std::string argument(reinterpret_cast<const char*>(data), size);
  argument.resize(argument.find('\0') == std::string::npos ? size : argument.find('\0'));

  const std::optional<std::uint16_t> expected = model(argument);
  const std::optional<std::uint16_t> actual = read_hex_argument(argument.c_str());
  if (actual != expected) {
    std::fprintf(stderr, "argument of %zu bytes: reader and model disagree\n", argument.size());
    print("reader:", actual);
    print("model: ", expected);
    std::abort();
  }
  return 0;
}
