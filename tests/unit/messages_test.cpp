#include "messages.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace {

struct Row {
  std::uint16_t read_back;
  std::uint16_t written;
  std::string_view expected;
};

// Both numbers print as signed 16-bit values widened to 32 bits: lowercase, no prefix, no padding.
const Row kRows[] = {
    {0x0000, 0x8000, "read returned 0 not ffff8000 as requested."},
    {0x0034, 0x1234, "read returned 34 not 1234 as requested."},
    {0x00ff, 0x7fff, "read returned ff not 7fff as requested."},
    {0xffff, 0x0000, "read returned ffffffff not 0 as requested."},
    {0x00ff, 0xffff, "read returned ff not ffffffff as requested."},
    {0x7fff, 0x8000, "read returned 7fff not ffff8000 as requested."},
    {0xabcd, 0x0001, "read returned ffffabcd not 1 as requested."},
    {0xffff, 0xfffe, "read returned ffffffff not fffffffe as requested."},
};

TEST(MismatchMessage, FormatsEveryRowOfTheTable) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(format_mismatch(row.read_back, row.written).view(), row.expected);
  }
}

}  // namespace
