#include "messages.hpp"

#include <charconv>

namespace {

constexpr std::string_view kMessageTable[] = {
    "usage: portpoke <hexaddress> <hexvalue>\n", "LoadLibrary Failed.\n",
    "GetProcAddress for Inp32 Failed.\n",
    "GetProcAddress for Oup32 Failed.\n",  // "Oup32" as users have always seen it
    "read returned %x not %x as requested.",
};

constexpr std::string_view kHexHole = "%x";

unsigned widen_signed(std::uint16_t value) {
  return static_cast<unsigned>(static_cast<int>(static_cast<std::int16_t>(value)));
}

}  // namespace

std::string_view message_text(Message message) {
  return kMessageTable[static_cast<std::size_t>(message)];
}

// snprintf would do, but on Windows it brings MinGW's own printf along, which alone is twice the
// size of the rest of the tool; std::to_chars writes exactly what %x does.
MismatchText format_mismatch(std::uint16_t read_back, std::uint16_t written) {
  const unsigned values[] = {widen_signed(read_back), widen_signed(written)};
  const std::string_view format = message_text(Message::mismatch);
  MismatchText text{};
  char* out = text.chars.data();
  char* const end = out + text.chars.size();
  std::size_t next_value = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format.substr(i, kHexHole.size()) == kHexHole) {
      out = std::to_chars(out, end, values[next_value++], 16).ptr;
      i += kHexHole.size() - 1;
    } else {
      *out++ = format[i];
    }
  }
  text.length = static_cast<std::size_t>(out - text.chars.data());
  return text;
}
