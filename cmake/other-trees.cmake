# The main build tree's ctest also runs the tests of the other build trees (the Windows target, the
# sanitizer build), so that one ctest invocation covers them all.
set(PORTPOKE_OTHER_TREES windows linux-asan CACHE STRING
  "Presets whose build trees' tests run along with this tree's")
set(trees_file ${CMAKE_BINARY_DIR}/other-trees.ctest)
file(WRITE ${trees_file} "# Read by ctest in the main build tree.\n")
foreach(preset IN LISTS PORTPOKE_OTHER_TREES)
  set(tree ${PROJECT_SOURCE_DIR}/build/${preset})
  file(APPEND ${trees_file} "
if(EXISTS \"${tree}/CTestTestfile.cmake\")
  subdirs(\"${tree}\")
else()
  # Skipped where that tree was never built; a failure in CI, where it must be.
  add_test(${preset}.build-tree \"sh\" \"-c\" \"echo 'no build tree at ${tree}: cmake --preset ${preset} && cmake --build --preset ${preset}'; [ \\\"\$CI\\\" = true ] && exit 1; exit 77\")
  set_tests_properties(${preset}.build-tree PROPERTIES SKIP_RETURN_CODE 77)
endif()
")
endforeach()
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${trees_file})
