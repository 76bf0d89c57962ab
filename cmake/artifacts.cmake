# This tree's manifest, <build tree>/artifacts, written at every configure: what the tree makes, a
# line each, as "<kind> <role> <path below the build tree>". scripts/release, bench/run and the
# tests read the names and places of what they use from here, and nowhere else.
#   package <role> <file>   a package of the release (role: portpoke, the tool; wine, the library
#                           for Windows programs under Wine)
#   built <role> <file>     a file of the tree, which a second build must make the same to the byte
#   file <role> <file>      a file of the tree that others use (the bench's floor program)
# A tree whose preset says PORTPOKE_RELEASE OFF lists no packages.
option(PORTPOKE_RELEASE "This tree's packages go into the release (scripts/release)" ON)

set(manifest "")
macro(portpoke_manifest_line kind role file)
  string(APPEND manifest "${kind} ${role} $<PATH:RELATIVE_PATH,${file},${CMAKE_BINARY_DIR}>\n")
endmacro()

portpoke_manifest_line(built tool $<TARGET_FILE:portpoke>)
if(TARGET portpoke_installed)
  portpoke_manifest_line(built installed-tool $<TARGET_FILE:portpoke_installed>)
endif()
if(TARGET port_access)
  portpoke_manifest_line(built library $<TARGET_FILE:port_access>)
endif()
if(PORTPOKE_WINE_LIBRARY)
  portpoke_manifest_line(built wine-library ${PORTPOKE_WINE_LIBRARY})
endif()
foreach(variant ports no-inp32 no-out32 no-exports)
  portpoke_manifest_line(built simulation-${variant} $<TARGET_FILE:portsim_${variant}>)
endforeach()
portpoke_manifest_line(file floor $<TARGET_FILE:floor>)
if(PORTPOKE_RELEASE)
  foreach(role IN LISTS PORTPOKE_PACKAGE_ROLES)
    portpoke_manifest_line(package ${role} ${CMAKE_BINARY_DIR}/${PORTPOKE_PACKAGE_FILE_${role}})
  endforeach()
  portpoke_manifest_line(built sums ${CMAKE_BINARY_DIR}/SHA256SUMS)
endif()
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/artifacts CONTENT "${manifest}")
