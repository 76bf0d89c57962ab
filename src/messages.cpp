#include "messages.hpp"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace {

constexpr std::string_view kMessageTable[] = {
    "usage: portpoke <hexaddress> <hexvalue>\n",
    "LoadLibrary Failed.\n",
    "GetProcAddress for Inp32 Failed.\n",
    "GetProcAddress for Oup32 Failed.\n",  // "Oup32" as users have always seen it
    "read returned ",
    " not ",
    " as requested.",
};

static_assert(std::size(kMessageTable) ==
                  static_cast<std::size_t>(Message::mismatch_as_requested) + 1,
              "one text for every message");

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
  MismatchText text{};
  char* out = text.chars.data();
  char* const end = out + text.chars.size();
  const auto append = [&out](Message piece) {
    const std::string_view chars = message_text(piece);
    out = std::copy(chars.begin(), chars.end(), out);
  };
  append(Message::mismatch_read_returned);
  out = std::to_chars(out, end, widen_signed(read_back), 16).ptr;
  append(Message::mismatch_not);
  out = std::to_chars(out, end, widen_signed(written), 16).ptr;
  append(Message::mismatch_as_requested);
  text.length = static_cast<std::size_t>(out - text.chars.data());
  return text;
}
