#include "text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using port_access::Text;

// Text from outside the library: printable ASCII as it is, everything else as \xNN, a backslash
// doubled, and a piece longer than its limit cut with "...".
struct QuoteRow {
  std::string_view outside;
  std::size_t limit;
  std::string_view expected;
};

const QuoteRow kQuoteRows[] = {
    {"lp", 64, "lp"},
    {" !~", 64, " !~"},
    {"\x1f\x7f\x80\xff", 64, "\\x1f\\x7f\\x80\\xff"},
    {"a\\b", 64, "a\\\\b"},
    {"evil\x1b[2J", 64, "evil\\x1b[2J"},
    {"abcd", 4, "abcd"},
    {"abcde", 4, "abcd..."},
    {"\t\tx", 2, "\\x09\\x09..."},
    {"", 64, ""},
};

TEST(TextTest, QuotesOutsideText) {
  for (const QuoteRow& row : kQuoteRows) {
    Text<128> text;
    const std::string outside(row.outside);
    text.quote(outside.c_str(), row.limit);
    EXPECT_EQ(std::string_view(text.c_str()), row.expected) << row.outside;
    EXPECT_FALSE(text.cut());
  }
}

TEST(TextTest, Numbers) {
  Text<64> text;
  text.number(0).add(" ").number(4242).add(" ").number(0x37a, 16, 4).add(" ");
  text.number(0xffff, 16, 4).add(" ").number(0660, 8, 4).add(" ").number(0x12345, 16, 4);
  EXPECT_STREQ(text.c_str(), "0 4242 037a ffff 0660 12345");
}

// A line that runs out of room ends in "..." once, and holds exactly its capacity.
TEST(TextTest, MarksACutOnceAtTheEnd) {
  Text<12> text;  // room for 8 characters, "..." and the end
  text.add("12345678");
  EXPECT_STREQ(text.c_str(), "12345678");
  EXPECT_FALSE(text.cut());
  text.add("9");
  EXPECT_STREQ(text.c_str(), "12345678...");
  EXPECT_TRUE(text.cut());
  EXPECT_EQ(text.size(), 11U);
  text.add("more").quote("\x01").number(7);
  EXPECT_STREQ(text.c_str(), "12345678...");
}

TEST(TextTest, CutsAnEscapeWhereTheRoomEnds) {
  Text<12> text;
  text.add("123456").quote("\x01\x02");
  EXPECT_STREQ(text.c_str(), "123456\\x...");
  EXPECT_TRUE(text.cut());
}

}  // namespace
