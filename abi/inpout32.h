/* The port-access library's two functions, declared once for every side of this project: the
 * tool's binding, the libraries built here (the Linux port-access library and the simulated one)
 * and the benchmark's floor program, in C and C++ alike. A definition or a pointer type that
 * drifts from these does not compile.
 *
 * On 32-bit Windows both use the Windows API's calling convention (__stdcall): the called function
 * removes its own arguments, and each 16-bit argument takes one 32-bit slot. Of Inp32's result
 * only the low 16 bits carry meaning.
 *
 * A library that defines them sets INPOUT32_EXPORT to its export attribute before including this
 * header, and writes its definitions as extern "C" INPOUT32_EXPORT ... INPOUT32_CALL. */

#ifndef INPOUT32_H
#define INPOUT32_H

#include <stdint.h>

#ifdef _WIN32
#define INPOUT32_CALL __stdcall
#else
#define INPOUT32_CALL
#endif

#ifndef INPOUT32_EXPORT
#define INPOUT32_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Reads the port and returns what it yields. */
INPOUT32_EXPORT uint16_t INPOUT32_CALL Inp32(uint16_t port);

/* Writes the value to the port. */
INPOUT32_EXPORT void INPOUT32_CALL Out32(uint16_t port, uint16_t value);

#ifdef __cplusplus
}
#endif

#endif
