# Install layout and packages.
#   Linux:   bin/portpoke, lib/<multiarch>/portpoke/inpout32.dll (the port-access library),
#            share/man/man1/portpoke.1.gz, share/doc/portpoke/; a Debian package. Each tree also
#            installs the library for Windows programs under Wine, lib/<multiarch>/portpoke-wine/
#            with inpout32.dll (i386) or inpoutx64.dll (amd64) and dlportio.dll, a link to it, and
#            share/doc/portpoke-wine/, as a second package, portpoke-wine (Multi-Arch: same).
#   Windows: portpoke.exe with the README and the licence as CR LF text; a zip.

# Everything not said otherwise is the tool's package.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME portpoke)
# The Debian packages' names, here alone: the files they hold, their folders and the tests follow.
set(PORTPOKE_TOOL_PACKAGE ${PROJECT_NAME})
set(PORTPOKE_WINE_PACKAGE ${PROJECT_NAME}-wine)

file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)

if(WIN32)
  install(TARGETS portpoke RUNTIME DESTINATION .)
  # Text files for Windows users get Windows line ends.
  foreach(text README.md:README.txt LICENSE:LICENSE.txt)
    string(REPLACE ":" ";" names ${text})
    list(GET names 0 source)
    list(GET names 1 destination)
    file(READ ${PROJECT_SOURCE_DIR}/${source} content)
    string(REPLACE "\n" "\r\n" content "${content}")
    file(WRITE ${CMAKE_BINARY_DIR}/package/${destination} "${content}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${source})
    install(FILES ${CMAKE_BINARY_DIR}/package/${destination} DESTINATION .)
  endforeach()

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-win32)
  set(PORTPOKE_PACKAGE_ROLES portpoke)
  set(PORTPOKE_PACKAGE_FILE_portpoke ${CPACK_PACKAGE_FILE_NAME}.zip)
else()
  include(GNUInstallDirs)
  # The port-access library goes to a folder of its own, which the installed tool's RUNPATH names.
  install(TARGETS portpoke_installed RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(TARGETS port_access LIBRARY DESTINATION ${PORTPOKE_LIBRARY_DIR})
  # Stripped as Debian strips, also of the .comment section (the compiler's version string).
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(file bin/portpoke ${PORTPOKE_LIBRARY_DIR}/inpout32.dll)
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${file}\" COMMAND_ERROR_IS_FATAL ANY)
      endforeach()
    endif()")
  # Debian's policy: manual pages and changelogs compressed (reproducibly, -n), and a copyright
  # file beside the documentation. The manual page is made at install time, when the prefix it
  # names is known (cmake/install-man-page.cmake).
  install(CODE "
    set(PORTPOKE_PAGE_SOURCE \"${PROJECT_SOURCE_DIR}/doc/portpoke.1\")
    set(PORTPOKE_PAGE_WORK \"${CMAKE_BINARY_DIR}/package/man1\")
    set(PORTPOKE_LIBRARY_DIR \"${PORTPOKE_LIBRARY_DIR}\")
    set(PORTPOKE_MAN_DIR \"${CMAKE_INSTALL_MANDIR}/man1\")")
  install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/install-man-page.cmake)
  foreach(file doc/changelog)
    get_filename_component(name ${file} NAME)
    execute_process(COMMAND gzip -9n -c INPUT_FILE ${PROJECT_SOURCE_DIR}/${file}
      OUTPUT_FILE ${CMAKE_BINARY_DIR}/package/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${file})
  endforeach()
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
  file(WRITE ${CMAKE_BINARY_DIR}/package/copyright
    "portpoke is distributed under the MIT License:\n\n${license}")
  install(FILES README.md ${CMAKE_BINARY_DIR}/package/changelog.gz
    ${CMAKE_BINARY_DIR}/package/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${PORTPOKE_TOOL_PACKAGE})

  # The library for Windows programs under Wine, in a package of its own: it goes beside a
  # program, in place of the Windows library, by the command the README gives. Stripped as Debian
  # strips a shared library.
  if(TARGET port_access_wine)
    set(wine_folder lib/${CMAKE_LIBRARY_ARCHITECTURE}/${PORTPOKE_WINE_PACKAGE})
    # Programs written for DlPortIO load the same library under that name.
    file(CREATE_LINK ${PORTPOKE_WINE_LIBRARY_NAME} ${CMAKE_BINARY_DIR}/package/dlportio.dll SYMBOLIC)
    install(FILES ${PORTPOKE_WINE_LIBRARY} ${CMAKE_BINARY_DIR}/package/dlportio.dll
      DESTINATION ${wine_folder} COMPONENT wine)
    install(CODE "
      if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
          --strip-unneeded
          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${wine_folder}/${PORTPOKE_WINE_LIBRARY_NAME}\"
          COMMAND_ERROR_IS_FATAL ANY)
      endif()" COMPONENT wine)
    install(FILES ${CMAKE_BINARY_DIR}/package/changelog.gz ${CMAKE_BINARY_DIR}/package/copyright
      DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${PORTPOKE_WINE_PACKAGE} COMPONENT wine)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL portpoke wine)
    set(CPACK_DEBIAN_PORTPOKE_PACKAGE_NAME ${PORTPOKE_TOOL_PACKAGE})
    set(CPACK_DEBIAN_PORTPOKE_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_WINE_PACKAGE_NAME ${PORTPOKE_WINE_PACKAGE})
    set(CPACK_DEBIAN_WINE_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_WINE_PACKAGE_SECTION otherosfs)
    # Both architectures' libraries on one machine, for 32- and 64-bit programs alike
    # (cmake/package-finish.cmake writes the field).
    set(CPACK_PORTPOKE_MULTIARCH_SAME ${PORTPOKE_WINE_PACKAGE})
    if(PORTPOKE_DEB_ARCH STREQUAL "i386")
      set(CPACK_DEBIAN_WINE_PACKAGE_ENHANCES wine32)
    else()
      set(CPACK_DEBIAN_WINE_PACKAGE_ENHANCES wine64)
    endif()
    set(CPACK_DEBIAN_WINE_DESCRIPTION "inpout32.dll that reaches real I/O ports, for Windows programs under Wine
Windows programs written for the port-access libraries inpout32.dll,
inpoutx64.dll or dlportio.dll (EPROM and PIC programmers, CNC and LCD tools,
portpoke.exe) reach no I/O port under Wine. This package holds such a
library for Wine that reaches the ports through portpoke's Linux
port-access library: ioperm() or /dev/port for root, a parallel port's
data, status and control registers through the kernel's ppdev driver for
group lp, also under Secure Boot. Its i386 form serves 32-bit programs
(inpout32.dll), its amd64 form 64-bit ones (inpoutx64.dll). A port it
cannot reach reads all ones and takes no write, as an empty bus does, and
is said once on standard error. Link it beside the program, in place of
the Windows library, as /usr/share/doc/${PORTPOKE_WINE_PACKAGE}/README.md says.")
    install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${PORTPOKE_WINE_PACKAGE}
      COMPONENT wine)
  endif()

  set(CPACK_GENERATOR DEB)
  # CPack's DEB-DEFAULT file names: <package>_<version>_<architecture>.deb.
  set(PORTPOKE_PACKAGE_ROLES portpoke)
  set(PORTPOKE_PACKAGE_FILE_portpoke
    ${PORTPOKE_TOOL_PACKAGE}_${PROJECT_VERSION}_${PORTPOKE_DEB_ARCH}.deb)
  if(TARGET port_access_wine)
    list(APPEND PORTPOKE_PACKAGE_ROLES wine)
    set(PORTPOKE_PACKAGE_FILE_wine
      ${PORTPOKE_WINE_PACKAGE}_${PROJECT_VERSION}_${PORTPOKE_DEB_ARCH}.deb)
  endif()
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${PORTPOKE_DEB_ARCH})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_STRIP_FILES ON)
endif()

set(CPACK_PACKAGE_NAME ${PORTPOKE_TOOL_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the portpoke developers")
set(CPACK_PACKAGE_CONTACT "portpoke developers <portpoke@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "write one value to one x86 I/O port and read it back")
set(CPACK_PACKAGE_DESCRIPTION "\
portpoke writes one value to one I/O port through the port-access library\n\
inpout32.dll, reads the port back, and reports when the port does not hold\n\
what was written. It is meant for bringing up and repairing PC hardware:\n\
parallel ports, UARTs, POST-code displays, Super I/O chips. The package\n\
includes a port-access library for Linux that reaches byte-wide ports\n\
through ioperm() or /dev/port, and a parallel port's registers through\n\
the kernel's ppdev driver, without root and under Secure Boot.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# Where a tree makes two packages, each description's first line is its own summary: CPack would
# put the one summary above both.
if(CPACK_DEB_COMPONENT_INSTALL)
  set(CPACK_DEBIAN_PORTPOKE_DESCRIPTION
    "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}\n${CPACK_PACKAGE_DESCRIPTION}")
  # CPack's own default summary, which it leaves out; without one it would take the project's.
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_NAME} built using CMake")
endif()

# Reproducible packages: the times inside them come from SOURCE_DATE_EPOCH, which
# cmake/package-time.cmake takes from the last commit where the user has not set it;
# cmake/package-finish.cmake makes each package again in an order and with owners of its own, not
# the filesystem's, and writes SHA256SUMS beside them.
set(CPACK_PORTPOKE_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/package-time.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/package-finish.cmake)
include(CPack)
include(${CMAKE_CURRENT_LIST_DIR}/artifacts.cmake)
