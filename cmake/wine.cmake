# Windows executables built here run under Wine: tests, and anything else CMake runs on the target.
# Every run uses a 32-bit prefix of its own inside the build tree, never the home directory, and
# the same settings, so that no run escapes them.
find_program(WINE_PROGRAM wine)
find_program(WINESERVER_PROGRAM wineserver)

set(PORTPOKE_WINE_ENV
  WINEARCH=win32
  WINEDEBUG=-all
  # Under LC_ALL=C Wine masks argument bytes to 7 bits.
  LC_ALL=C.UTF-8
  "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix"
  # No Mono or Gecko: a new prefix would otherwise try to install them.
  "WINEDLLOVERRIDES=mscoree,mshtml=")

if(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR env ${PORTPOKE_WINE_ENV} ${WINE_PROGRAM})
endif()
