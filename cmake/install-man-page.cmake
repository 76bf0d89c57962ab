# Installs the manual page, compressed as Debian's policy asks (gzip -9n: no name, no time), with
# the folder of the port-access library filled in under the prefix given at install time: /usr in
# the Debian package, whatever `cmake --install --prefix` names otherwise.
#
# Set before it runs: PORTPOKE_PAGE_SOURCE, PORTPOKE_PAGE_WORK, PORTPOKE_LIBRARY_DIR (relative to
# the prefix) and PORTPOKE_MAN_DIR (likewise).
file(READ ${PORTPOKE_PAGE_SOURCE} page)
set(folder "${CMAKE_INSTALL_PREFIX}/${PORTPOKE_LIBRARY_DIR}")
# A hyphen in a path is a plain minus sign in roff.
string(REPLACE "-" "\\-" folder "${folder}")
# Never hyphenated where a line breaks: the path is to be read, and copied, as it is.
set(folder "\\%${folder}")
string(REPLACE "@PORTPOKE_LIBRARY_FOLDER@" "${folder}" page "${page}")
file(MAKE_DIRECTORY ${PORTPOKE_PAGE_WORK})
file(WRITE ${PORTPOKE_PAGE_WORK}/portpoke.1 "${page}")
execute_process(COMMAND gzip -9n -c INPUT_FILE ${PORTPOKE_PAGE_WORK}/portpoke.1
  OUTPUT_FILE ${PORTPOKE_PAGE_WORK}/portpoke.1.gz COMMAND_ERROR_IS_FATAL ANY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${PORTPOKE_MAN_DIR}" TYPE FILE
  FILES ${PORTPOKE_PAGE_WORK}/portpoke.1.gz)
