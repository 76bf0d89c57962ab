// A line of text built in a fixed buffer, for messages made of the library's own words and of what
// the kernel and the system's databases say. Text from outside is shown truthfully: a byte that is
// not printable ASCII (a control byte, an escape sequence, a byte above 127) is shown as \xNN and a
// backslash as \\, so nothing reaches the terminal but what the line says; a piece cut to its
// limit ends in "..."; and a line that runs out of room ends in "..." once, at its end.

#ifndef PORT_ACCESS_TEXT_HPP
#define PORT_ACCESS_TEXT_HPP

#include <cstddef>
#include <cstring>

namespace port_access {

template <std::size_t Capacity>
class Text {
 public:
  static_assert(Capacity > 4);

  // The library's own words, as they are.
  Text& add(const char* words) {
    for (; *words != '\0'; ++words) put(*words);
    return *this;
  }

  // A number in decimal, or in hexadecimal or octal with at least the digits given.
  Text& number(unsigned long value, unsigned base = 10, int digits = 1) {
    char reversed[24];
    int count = 0;
    do {
      reversed[count++] = "0123456789abcdef"[value % base];
      value /= base;
    } while (value != 0 && count < static_cast<int>(sizeof reversed));
    for (; count < digits && count < static_cast<int>(sizeof reversed); ++count) {
      reversed[count] = '0';
    }
    while (count > 0) put(reversed[--count]);
    return *this;
  }

  // Text from outside the library, escaped, and cut after at most limit bytes of it with "...".
  Text& quote(const char* outside, std::size_t limit = 64) {
    std::size_t taken = 0;
    for (; taken < limit && outside[taken] != '\0'; ++taken) {
      const auto byte = static_cast<unsigned char>(outside[taken]);
      if (byte == '\\') {
        add("\\\\");
      } else if (byte < 0x20 || byte > 0x7e) {
        add("\\x").number(byte, 16, 2);
      } else {
        put(static_cast<char>(byte));
      }
    }
    if (outside[taken] != '\0') add("...");
    return *this;
  }

  // Whether the line ran out of room.
  bool cut() const { return cut_; }
  std::size_t size() const { return length_; }
  const char* c_str() const { return text_; }

 private:
  void put(char character) {
    if (cut_) return;
    if (length_ + 1 < Capacity - 3) {
      text_[length_++] = character;
      text_[length_] = '\0';
      return;
    }
    std::memcpy(text_ + length_, "...", 4);
    length_ += 3;
    cut_ = true;
  }

  char text_[Capacity] = {};
  std::size_t length_ = 0;
  bool cut_ = false;
};

}  // namespace port_access

#endif
