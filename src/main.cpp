// portpoke: writes one value to one I/O port through the port-access library, reads the port back
// and says so when the port does not hold what was written.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

#include "hex_argument.hpp"
#include "messages.hpp"
#include "portlib/port_library.hpp"
#include "portpoke.hpp"

namespace {

constexpr int kFailure = -1;

void print(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

int fail(Message message) {
  print(message_text(message));
  return kFailure;
}

// The message for a load that did not end ready.
Message message_for(portlib::LoadOutcome outcome) {
  switch (outcome) {
    case portlib::LoadOutcome::library_not_loaded:
      return Message::library_not_loaded;
    case portlib::LoadOutcome::read_function_missing:
      return Message::read_function_missing;
    case portlib::LoadOutcome::write_function_missing:
      return Message::write_function_missing;
    case portlib::LoadOutcome::ready:
      break;
  }
  // Never asked for ready; every other outcome has its case above, which -Wswitch keeps so.
  return Message::write_function_missing;
}

// A mismatch report that never reached its reader must not look like a clean match.
int finish() { return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : kFailure; }

}  // namespace

int portpoke(int argc, char* argv[]) {
  // No options: the two operands are taken straight from argv.
  if (argc != 3) return fail(Message::usage);
  const std::optional<std::uint16_t> port = read_hex_argument(argv[1]);
  if (!port) return fail(Message::usage);
  const std::optional<std::uint16_t> value = read_hex_argument(argv[2]);
  if (!value) return fail(Message::usage);

  portlib::PortLibrary library;
  const portlib::LoadOutcome outcome = library.load();
  if (outcome != portlib::LoadOutcome::ready) return fail(message_for(outcome));

  library.write(*port, *value);
  const std::uint16_t read_back = library.read(*port);
  if (read_back != *value) print(format_mismatch(read_back, *value).view());
  library.release();
  return finish();
}
