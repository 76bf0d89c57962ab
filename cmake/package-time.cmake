# Read by cpack before it makes a package. Every time stored in a package is SOURCE_DATE_EPOCH:
# the user's, if set; otherwise the time of the last commit; otherwise, outside a git checkout, the
# day of the first release. Two builds of the same sources then give the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CPACK_PORTPOKE_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
  if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    set(epoch 1796860800)  # 2026-12-10 00:00:00 UTC
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

# dpkg-shlibdeps finds the libraries that a package's ELF files need in the folders of the
# architecture it is told of: the package's own (the i386 tree's libc is /lib/i386-linux-gnu's, not
# the biarch /lib32's).
if(CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
  set(ENV{DEB_HOST_ARCH} ${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
endif()
