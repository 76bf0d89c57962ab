#include <csignal>

#include "portpoke.hpp"

// The arguments arrive as the bytes that were typed.
//
// A report written into a pipe whose reader has gone must fail as any other unwritten report does,
// with -1, not end the run by SIGPIPE (141 at a shell) as the shell's default would: scripts read
// the status, and the Windows build gives -1 there too.
int main(int argc, char* argv[]) {
  std::signal(SIGPIPE, SIG_IGN);
  return portpoke(argc, argv);
}
