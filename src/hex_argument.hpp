#pragma once

#include <cstdint>
#include <optional>

// Reads one command-line argument as a hexadecimal number and keeps its low 16 bits.
// Returns nothing when the argument holds no hexadecimal digit where one must stand.
//
// Takes a NUL-terminated string rather than a std::string_view on purpose: an argument may be
// long, and the reader stops after the characters it is allowed to take instead of measuring the
// whole argument first.
std::optional<std::uint16_t> read_hex_argument(const char* text);
