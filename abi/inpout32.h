/* The port-access library's functions, declared once for every side of this project: the tool's
 * binding, the libraries built here (the Linux port-access library, the one that Wine gives Windows
 * programs, and the simulated one) and the benchmark's floor program, in C and C++ alike. A
 * definition or a pointer type that drifts from these does not compile.
 *
 * Windows programs call them with the Windows API's calling convention (__stdcall): the called
 * function removes its own arguments, and each argument takes one 32-bit slot, a 16-bit one in its
 * low half. That is so on 32-bit Windows and in the library built for Windows programs under Wine
 * (INPOUT32_WINE), a Linux i386 library whose callers are Windows code; its 64-bit form, for
 * 64-bit Windows programs, takes the 64-bit Windows API's convention. Linux programs call the
 * Linux library with the C convention. Of Inp32's result only the low 16 bits carry meaning.
 *
 * A library that defines them sets INPOUT32_EXPORT to its export attribute before including this
 * header, and writes its definitions as extern "C" INPOUT32_EXPORT ... INPOUT32_CALL. */

#ifndef INPOUT32_H
#define INPOUT32_H

#include <stdint.h>

#if defined(_WIN32)
#define INPOUT32_CALL __stdcall
#elif defined(INPOUT32_WINE) && defined(__i386__)
/* Windows code keeps the stack aligned to 4 bytes only; Linux i386 code may assume 16. */
#define INPOUT32_CALL __attribute__((__stdcall__, __force_align_arg_pointer__))
#elif defined(INPOUT32_WINE) && defined(__x86_64__)
/* 64-bit Windows code calls with its own convention: arguments in rcx, rdx, r8, r9. */
#define INPOUT32_CALL __attribute__((__ms_abi__))
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

/* The other entry points that programs written for this library call, which the library for
 * Windows programs under Wine exports too (inpout32.exports lists every export); the tool calls
 * none of them. Their ports are 32-bit numbers; the readers and writers of 8, 16 and 32 bits each
 * make one transfer of that width. */
INPOUT32_EXPORT int32_t INPOUT32_CALL IsInpOutDriverOpen(void);
INPOUT32_EXPORT uint8_t INPOUT32_CALL DlPortReadPortUchar(uint32_t port);
INPOUT32_EXPORT void INPOUT32_CALL DlPortWritePortUchar(uint32_t port, uint8_t value);
INPOUT32_EXPORT uint16_t INPOUT32_CALL DlPortReadPortUshort(uint32_t port);
INPOUT32_EXPORT void INPOUT32_CALL DlPortWritePortUshort(uint32_t port, uint16_t value);
INPOUT32_EXPORT uint32_t INPOUT32_CALL DlPortReadPortUlong(uint32_t port);
INPOUT32_EXPORT void INPOUT32_CALL DlPortWritePortUlong(uint32_t port, uint32_t value);

/* count transfers of 8, 16 or 32 bits at one port, from or into an array of count values. */
INPOUT32_EXPORT void INPOUT32_CALL DlPortReadPortBufferUchar(uint32_t port, uint8_t* buffer,
                                                             uint32_t count);
INPOUT32_EXPORT void INPOUT32_CALL DlPortReadPortBufferUshort(uint32_t port, uint16_t* buffer,
                                                              uint32_t count);
INPOUT32_EXPORT void INPOUT32_CALL DlPortReadPortBufferUlong(uint32_t port, uint32_t* buffer,
                                                             uint32_t count);
INPOUT32_EXPORT void INPOUT32_CALL DlPortWritePortBufferUchar(uint32_t port, const uint8_t* buffer,
                                                              uint32_t count);
INPOUT32_EXPORT void INPOUT32_CALL DlPortWritePortBufferUshort(uint32_t port,
                                                               const uint16_t* buffer,
                                                               uint32_t count);
INPOUT32_EXPORT void INPOUT32_CALL DlPortWritePortBufferUlong(uint32_t port, const uint32_t* buffer,
                                                              uint32_t count);

#ifdef __cplusplus
}
#endif

#endif
