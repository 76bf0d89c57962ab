// hold-parport: claims a parallel port through its ppdev device and holds it until killed, as
// another program using the port would. Prints "held" once the claim is made.
//
// usage: hold-parport /dev/parportN

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fputs("usage: hold-parport /dev/parportN\n", stderr);
    return 2;
  }
  const int device = open(argv[1], O_RDWR);
  if (device < 0 || ioctl(device, PPCLAIM) != 0) {
    std::perror("hold-parport");
    return 1;
  }
  std::puts("held");
  std::fflush(stdout);
  pause();
  return 0;
}
