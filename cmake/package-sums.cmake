# Run by cpack after it made the packages: writes SHA256SUMS beside them, in the format that
# `sha256sum -c` reads.
set(sums "")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  file(SHA256 ${package} hash)
  get_filename_component(name ${package} NAME)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sums}")
