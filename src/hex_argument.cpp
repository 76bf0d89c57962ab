#include "hex_argument.hpp"

#include <cstddef>

namespace {

// After the leading white space, at most this many characters take part in the number (the sign
// and the 0x prefix among them). The next one ends the number as a non-digit would.
constexpr std::size_t kMaxCharactersTaken = 32767;

// Once the accumulator holds 2^60 or more, one more digit would not fit in 64 bits.
constexpr std::uint64_t kSaturationThreshold = std::uint64_t{1} << 60;

// Low 16 bits of the largest and the smallest signed 64-bit numbers, which a number too long for
// 64 bits saturates to.
constexpr std::uint16_t kSaturatedPositive = 0xffff;
constexpr std::uint16_t kSaturatedNegative = 0x0000;

// Only the six ASCII white-space characters count: a byte above 127 is never white space,
// whatever the code page or locale.
bool is_white_space(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int hex_digit_value(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Walks the characters of the number, seeing the end of the argument once the limit is used up.
class Cursor {
 public:
  explicit Cursor(const unsigned char* at) : at_(at) {}
  unsigned char peek() const { return left_ > 0 ? *at_ : '\0'; }
  void advance() {
    ++at_;
    --left_;
  }

 private:
  const unsigned char* at_;
  std::size_t left_ = kMaxCharactersTaken;
};

}  // namespace

std::optional<std::uint16_t> read_hex_argument(const char* text) {
  const auto* at = reinterpret_cast<const unsigned char*>(text);
  while (is_white_space(*at)) ++at;
  Cursor cursor(at);

  bool negative = false;
  if (cursor.peek() == '+' || cursor.peek() == '-') {
    negative = cursor.peek() == '-';
    cursor.advance();
  }

  // A leading 0 is a digit in its own right, so "0x" with nothing after it reads as 0.
  bool any_digit = false;
  if (cursor.peek() == '0') {
    any_digit = true;
    cursor.advance();
    if (cursor.peek() == 'x' || cursor.peek() == 'X') cursor.advance();
  }

  std::uint64_t number = 0;
  for (int digit = hex_digit_value(cursor.peek()); digit >= 0;
       digit = hex_digit_value(cursor.peek())) {
    if (number >= kSaturationThreshold) {
      // Too long for 64 bits: the number saturates and is not negated.
      return negative ? kSaturatedNegative : kSaturatedPositive;
    }
    number = number * 16 + static_cast<std::uint64_t>(digit);
    any_digit = true;
    cursor.advance();
  }
  if (!any_digit) return std::nullopt;

  // Two's complement negation; only the low 16 bits survive either way.
  if (negative) number = 0 - number;
  return static_cast<std::uint16_t>(number);
}
