# Windows executables built here run under Wine: tests, and anything else CMake runs on the target.
# Every run uses a 32-bit prefix of its own, never the home directory, and the settings of
# cmake/wine.env, so that no run escapes them.
#
# 32-bit Wine runs 32-bit x86 code, which some kernels do not run at all (ia32_emulation=off, or a
# hypervisor that runs 64-bit code only). Where the host's Wine cannot start, the tests run it on an
# emulated PC instead (tests/wine-vm/run), with the same settings inside.
find_program(WINE_PROGRAM wine)
find_program(WINESERVER_PROGRAM wineserver)

set(PORTPOKE_WINE_VM AUTO CACHE STRING
  "Run Windows programs under Wine on an emulated PC: ON, OFF, or AUTO (where the host's Wine cannot start)")
if(PORTPOKE_WINE_VM STREQUAL "AUTO")
  set(wine_in_vm OFF)
  if(WINE_PROGRAM)
    execute_process(COMMAND ${WINE_PROGRAM} --version RESULT_VARIABLE wine_status
      OUTPUT_QUIET ERROR_QUIET)
    if(NOT wine_status EQUAL 0)
      message(STATUS "This host's Wine cannot start (${wine_status}): Windows programs run on an emulated PC")
      set(wine_in_vm ON)
    endif()
  endif()
else()
  set(wine_in_vm ${PORTPOKE_WINE_VM})
endif()

# The settings of every Wine run, from their one home, and this tree's prefix.
set(PORTPOKE_WINE_ENV_FILE ${CMAKE_CURRENT_LIST_DIR}/wine.env)
file(STRINGS ${PORTPOKE_WINE_ENV_FILE} PORTPOKE_WINE_ENV REGEX "^[A-Z_]+=")
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PORTPOKE_WINE_ENV_FILE})
list(APPEND PORTPOKE_WINE_ENV "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix")

if(wine_in_vm)
  set(PORTPOKE_WINE_VM_RUN bash ${PROJECT_SOURCE_DIR}/tests/wine-vm/run)
  set(PORTPOKE_WINE_VM_STATE ${CMAKE_BINARY_DIR}/wine-vm)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PORTPOKE_WINE_VM_RUN} exec ${PORTPOKE_WINE_VM_STATE})
elseif(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR env ${PORTPOKE_WINE_ENV} ${WINE_PROGRAM})
endif()
