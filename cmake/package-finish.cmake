# Run by cpack after it made the packages. cpack's archives follow the filesystem they were staged
# on: the order in which a directory lists its files, and the size it reports for a directory
# (which the .deb's Installed-Size adds up); a zip also records the builder's user and group. So each
# package is made again here from its own contents: in sorted order, owned by no one's user, every
# time SOURCE_DATE_EPOCH (cmake/package-time.cmake). Then SHA256SUMS is written beside them.

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

set(work ${CPACK_TOPLEVEL_DIRECTORY}/finish)
set(sums "")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  file(REMOVE_RECURSE ${work})
  file(MAKE_DIRECTORY ${work})
  if(package MATCHES "\\.deb$")
    run(dpkg-deb --raw-extract ${package} root)
    # Modes as Debian's policy has them, whatever the builder's umask left: directories 0755, files
    # 0755 where anyone may run them and 0644 otherwise.
    run(find root -type d -exec chmod 0755 {} +)
    run(find root -type f -perm /0111 -exec chmod 0755 {} +)
    run(find root -type f ! -perm /0111 -exec chmod 0644 {} +)
    # Installed-Size as dpkg-gencontrol counts it: each file's size in KiB, rounded up, and 1 for
    # each directory or link.
    file(GLOB_RECURSE entries LIST_DIRECTORIES true ${work}/root/*)
    set(kib 0)
    foreach(entry IN LISTS entries)
      if(entry MATCHES "^${work}/root/DEBIAN(/|$)")
        continue()
      elseif(IS_SYMLINK ${entry} OR IS_DIRECTORY ${entry})
        math(EXPR kib "${kib} + 1")
      else()
        file(SIZE ${entry} size)
        math(EXPR kib "${kib} + (${size} + 1023) / 1024")
      endif()
    endforeach()
    file(READ ${work}/root/DEBIAN/control control)
    string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${kib}\n" control "${control}")
    # CPack writes no Multi-Arch field: the packages that CPACK_PORTPOKE_MULTIARCH_SAME names get
    # "Multi-Arch: same".
    string(REGEX MATCH "(^|\n)Package: ([^\n]+)" _ "${control}")
    if(CMAKE_MATCH_2 IN_LIST CPACK_PORTPOKE_MULTIARCH_SAME)
      string(REGEX REPLACE "\n+$" "\nMulti-Arch: same\n" control "${control}")
    endif()
    file(WRITE ${work}/root/DEBIAN/control "${control}")
    # dpkg-deb sorts the files and clamps their times to SOURCE_DATE_EPOCH.
    run(dpkg-deb --root-owner-group -Zxz --build root ${package})
  elseif(package MATCHES "\\.zip$")
    run(${CMAKE_COMMAND} -E tar xf ${package})
    file(GLOB_RECURSE files RELATIVE ${work} ${work}/*)
    list(SORT files)
    foreach(name IN LISTS files)
      if(name MATCHES "\\.(exe|dll)$")
        file(CHMOD ${work}/${name} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
          GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
      else()
        file(CHMOD ${work}/${name} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
      endif()
      run(touch -d @$ENV{SOURCE_DATE_EPOCH} ${name})
    endforeach()
    # -X: no user, group or extended times; the times zip keeps are local, so UTC.
    file(REMOVE ${package})
    run(${CMAKE_COMMAND} -E env TZ=UTC zip -X -D -9 -q ${package} ${files})
  endif()
  file(SHA256 ${package} hash)
  get_filename_component(name ${package} NAME)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(REMOVE_RECURSE ${work})
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sums}")
