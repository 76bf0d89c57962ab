#include "hex_argument.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

struct Row {
  std::string argument;
  std::optional<std::uint16_t> expected;  // nothing: the argument is unreadable
};

std::string repeat(char c, std::size_t count) { return std::string(count, c); }

constexpr std::nullopt_t kUnreadable = std::nullopt;

const Row kRows[] = {
    // Plain numbers, prefixes and the suffix that is ignored.
    {"3f8", 0x03f8},
    {"ff", 0x00ff},
    {"0x378", 0x0378},
    {"0X378", 0x0378},
    {"378h", 0x0378},
    {"  378", 0x0378},
    {"aBcD", 0xabcd},
    {"1234 5678", 0x1234},
    {"fff8", 0xfff8},
    {"ffff", 0xffff},
    {"0", 0x0000},
    // Signs.
    {"+10", 0x0010},
    {"-1", 0xffff},
    {"-0x10", 0xfff0},
    {"-fff8", 0x0008},
    {"-ffff", 0x0001},
    {"-0", 0x0000},
    // Only the low 16 bits count.
    {"10000", 0x0000},
    {"12345", 0x2345},
    {"-12345", 0xdcbb},
    // A leading 0 is a digit, so a prefix with no digits after it reads as 0.
    {"0x", 0x0000},
    {"0xg", 0x0000},
    {"0x-1", 0x0000},
    {"0x0x10", 0x0000},
    {"00x10", 0x0000},
    {"-0x", 0x0000},
    // Unreadable.
    {"", kUnreadable},
    {"   ", kUnreadable},
    {"x10", kUnreadable},
    {"X10", kUnreadable},
    {"g", kUnreadable},
    {"h378", kUnreadable},
    {"- 1", kUnreadable},
    {"+\t1", kUnreadable},
    {"+", kUnreadable},
    {"-", kUnreadable},
    {"--1", kUnreadable},
    {"+-1", kUnreadable},
    // Each of the six white-space characters is skipped; nothing else is.
    {" 1", 0x0001},
    {"\t1", 0x0001},
    {"\n1", 0x0001},
    {"\v1", 0x0001},
    {"\f1", 0x0001},
    {"\r1", 0x0001},
    {" \t\n\v\f\r-1", 0xffff},
    {"\x1c"
     "1",
     kUnreadable},
    {"\x7f"
     "1",
     kUnreadable},
    // Bytes above 127 are never white space or digits: a no-break space in Latin-1 and in UTF-8,
    // a next-line control, and the highest byte.
    {"\xa0"
     "1",
     kUnreadable},
    {"\xc2\xa0"
     "1",
     kUnreadable},
    {"\x85"
     "1",
     kUnreadable},
    {"\xff"
     "1",
     kUnreadable},
    // Up to 16 significant digits the number fits in 64 bits: the last four digits count.
    {repeat('f', 16), 0xffff},
    {"-" + repeat('f', 16), 0x0001},
    {"1" + repeat('0', 15), 0x0000},
    {"-1" + repeat('0', 15), 0x0000},
    {"7" + repeat('f', 15), 0xffff},
    {repeat('0', 19) + "1", 0x0001},
    {repeat('0', 40) + repeat('f', 16), 0xffff},
    {"0x" + repeat('f', 16), 0xffff},
    // From 17 significant digits the number saturates, and a minus sign no longer negates it.
    {"1" + repeat('0', 16), 0xffff},
    {"-1" + repeat('0', 16), 0x0000},
    {repeat('f', 17), 0xffff},
    {"-" + repeat('f', 17), 0x0000},
    {repeat('0', 5) + "1" + repeat('0', 16), 0xffff},
    {"-" + repeat('0', 20) + "1" + repeat('0', 16) + "1234", 0x0000},
    // After the white space only 32767 characters are taken, sign and prefix among them.
    {repeat('0', 32766) + "12", 0x0001},
    {repeat('0', 32765) + "12", 0x0012},
    {repeat('0', 32767) + "12", 0x0000},
    {"-" + repeat('0', 32765) + "12", 0xffff},
    {"0x" + repeat('0', 32764) + "12", 0x0001},
    {repeat(' ', 40000) + repeat('0', 32766) + "12", 0x0001},
    {repeat('0', 1 << 20) + "12", 0x0000},
};

TEST(HexArgument, ReadsEveryRowOfTheTable) {
  for (const Row& row : kRows) {
    const std::string shown =
        row.argument.size() > 40 ? row.argument.substr(0, 40) + "..." : row.argument;
    SCOPED_TRACE("argument \"" + shown + "\" (" + std::to_string(row.argument.size()) +
                 " characters)");
    EXPECT_EQ(read_hex_argument(row.argument.c_str()), row.expected);
  }
}

// Every 16-bit value written as four digits, with and without a prefix and under a minus sign,
// reads back as itself or its two's complement.
TEST(HexArgument, RoundTripsEverySixteenBitValue) {
  char text[16];
  for (unsigned value = 0; value <= 0xffff; ++value) {
    std::snprintf(text, sizeof text, "%04x", value);
    ASSERT_EQ(read_hex_argument(text), static_cast<std::uint16_t>(value)) << text;
    std::snprintf(text, sizeof text, "0X%X", value);
    ASSERT_EQ(read_hex_argument(text), static_cast<std::uint16_t>(value)) << text;
    std::snprintf(text, sizeof text, "-%x", value);
    ASSERT_EQ(read_hex_argument(text), static_cast<std::uint16_t>(0x10000 - value)) << text;
  }
}

}  // namespace
