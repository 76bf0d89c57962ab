// hold-parport: claims a parallel port through its ppdev device and holds it until killed, as
// another program using the port would. With -x it registers on the port exclusively (PPEXCL) and
// gives the claim back at once: the port is then free, but no one else may register on it. Prints
// "held" once done.
//
// usage: hold-parport [-x] /dev/parportN

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
  const bool exclusive = argc == 3 && std::strcmp(argv[1], "-x") == 0;
  if (argc != 2 && !exclusive) {
    std::fputs("usage: hold-parport [-x] /dev/parportN\n", stderr);
    return 2;
  }
  const int device = open(argv[argc - 1], O_RDWR);
  if (device < 0 || (exclusive && ioctl(device, PPEXCL) != 0) || ioctl(device, PPCLAIM) != 0 ||
      (exclusive && ioctl(device, PPRELEASE) != 0)) {
    std::perror("hold-parport");
    return 1;
  }
  std::puts("held");
  std::fflush(stdout);
  pause();
  return 0;
}
