#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// Everything the tool can say. Scripts match these texts, so they stay exactly as they are.
enum class Message {
  usage,
  library_not_loaded,
  read_function_missing,
  write_function_missing,
  mismatch,  // two %x holes: the value read back, then the value written
};

std::string_view message_text(Message message);

// The mismatch message, filled in. It ends without a line break.
struct MismatchText {
  std::array<char, 64> chars;
  std::size_t length;
  std::string_view view() const { return {chars.data(), length}; }
};

// Both values are printed as signed 16-bit numbers widened to 32 bits, in lowercase hexadecimal:
// 8000 prints as ffff8000.
MismatchText format_mismatch(std::uint16_t read_back, std::uint16_t written);
