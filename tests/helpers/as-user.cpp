// as-user: runs a command as the unprivileged user and group 1000, with no supplementary groups.
//
// usage: as-user <program> [arguments...]

#include <grp.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fputs("usage: as-user <program> [arguments...]\n", stderr);
    return 2;
  }
  constexpr uid_t kUser = 1000;
  constexpr gid_t kGroup = 1000;
  if (setgroups(0, nullptr) != 0 || setgid(kGroup) != 0 || setuid(kUser) != 0) {
    std::perror("as-user: dropping to uid 1000");
    return 2;
  }
  execv(argv[1], argv + 1);
  std::perror("as-user: exec");
  return 2;
}
