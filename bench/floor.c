/* The floor a poke cannot go below: load the port-access library, look up its two functions,
 * write a port, read it back, release the library. No arguments read, nothing printed. */

#include <inpout32.h>
#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

typedef __typeof__(&Inp32) Inp32Function;
typedef __typeof__(&Out32) Out32Function;

int main(void) {
#ifdef _WIN32
  HMODULE library = LoadLibraryA("inpout32.dll");
  Inp32Function inp32 = (Inp32Function)(void (*)(void))GetProcAddress(library, "Inp32");
  Out32Function out32 = (Out32Function)(void (*)(void))GetProcAddress(library, "Out32");
#else
  void* library = dlopen("inpout32.dll", RTLD_NOW);
  Inp32Function inp32 = (Inp32Function)dlsym(library, "Inp32");
  Out32Function out32 = (Out32Function)dlsym(library, "Out32");
#endif
  out32(0x378, 0xff);
  uint16_t read_back = inp32(0x378);
#ifdef _WIN32
  FreeLibrary(library);
#else
  dlclose(library);
#endif
  return read_back == 0xff ? 0 : 1;
}
