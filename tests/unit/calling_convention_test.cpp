// The port-access library's functions remove their own arguments from the stack. A caller that
// believes otherwise does not crash on one call: it leaves the stack pointer a few bytes off and
// goes on. Many calls through the binding's own pointer types must leave it exactly where it was.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#include "portlib/port_library.hpp"

namespace {

struct Drift {
  std::ptrdiff_t bytes;
  int wrong_read_backs;
};

// Kept out of line so that nothing of the caller's own stack use mixes with the measurement. With a
// wrong convention the drift either shows here or brings the test down once the stack is off far
// enough; either way the test fails.
__attribute__((noinline)) Drift call_many_times(portlib::Inp32Function inp32,
                                                portlib::Out32Function out32, int calls) {
  std::uintptr_t before = 0;
  std::uintptr_t after = 0;
  int wrong_read_backs = 0;
  asm volatile("movl %%esp, %0" : "=r"(before)::"memory");
  for (int i = 0; i < calls; ++i) {
    const auto port = static_cast<std::uint16_t>(0x378 + i % 3);
    const auto value = static_cast<std::uint16_t>(i * 7);
    out32(port, value);
    if (inp32(port) != (value & 0xff)) ++wrong_read_backs;
  }
  asm volatile("movl %%esp, %0" : "=r"(after)::"memory");
  return {static_cast<std::ptrdiff_t>(after - before), wrong_read_backs};
}

TEST(CallingConvention, CallsThroughTheBindingTypesKeepTheStackPointer) {
  // The simulated library is copied beside this test.
  const HMODULE library = LoadLibraryA(portlib::kLibraryFileName);
  ASSERT_NE(library, nullptr);
  const auto inp32 = reinterpret_cast<portlib::Inp32Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "Inp32")));
  const auto out32 = reinterpret_cast<portlib::Out32Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "Out32")));
  ASSERT_NE(inp32, nullptr);
  ASSERT_NE(out32, nullptr);

  const Drift drift = call_many_times(inp32, out32, 10000);
  EXPECT_EQ(drift.bytes, 0);
  EXPECT_EQ(drift.wrong_read_backs, 0);
  FreeLibrary(library);
}

}  // namespace
