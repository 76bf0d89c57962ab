// as-user: runs a command as the unprivileged user and group 1000, with no supplementary groups
// but the one -g names; or, with -l, with the groups the group database gives user 1000, as a new
// login would.
//
// usage: as-user [-g <group id> | -l] <program> [arguments...]

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[]) {
  constexpr uid_t kUser = 1000;
  constexpr gid_t kGroup = 1000;
  int first = 1;
  gid_t groups[1];
  std::size_t group_count = 0;
  bool log_in = false;
  if (argc > 2 && std::strcmp(argv[1], "-g") == 0) {
    groups[group_count++] = static_cast<gid_t>(std::strtoul(argv[2], nullptr, 10));
    first = 3;
  } else if (argc > 1 && std::strcmp(argv[1], "-l") == 0) {
    log_in = true;
    first = 2;
  }
  if (argc <= first) {
    std::fputs("usage: as-user [-g <group id> | -l] <program> [arguments...]\n", stderr);
    return 2;
  }
  const passwd* user = log_in ? getpwuid(kUser) : nullptr;
  if (log_in && user == nullptr) {
    std::fputs("as-user: no user 1000 in the user database\n", stderr);
    return 2;
  }
  const int grouped = log_in ? initgroups(user->pw_name, kGroup) : setgroups(group_count, groups);
  if (grouped != 0 || setgid(kGroup) != 0 || setuid(kUser) != 0) {
    std::perror("as-user: dropping to uid 1000");
    return 2;
  }
  execv(argv[first], argv + first);
  std::perror("as-user: exec");
  return 2;
}
