// as-user: runs a command as the unprivileged user and group 1000, with no supplementary groups
// but the one -g names.
//
// usage: as-user [-g <group id>] <program> [arguments...]

#include <grp.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[]) {
  int first = 1;
  gid_t groups[1];
  std::size_t group_count = 0;
  if (argc > 2 && std::strcmp(argv[1], "-g") == 0) {
    groups[group_count++] = static_cast<gid_t>(std::strtoul(argv[2], nullptr, 10));
    first = 3;
  }
  if (argc <= first) {
    std::fputs("usage: as-user [-g <group id>] <program> [arguments...]\n", stderr);
    return 2;
  }
  constexpr uid_t kUser = 1000;
  constexpr gid_t kGroup = 1000;
  if (setgroups(group_count, groups) != 0 || setgid(kGroup) != 0 || setuid(kUser) != 0) {
    std::perror("as-user: dropping to uid 1000");
    return 2;
  }
  execv(argv[first], argv + first);
  std::perror("as-user: exec");
  return 2;
}
