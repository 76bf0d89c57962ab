# The main build tree's ctest also runs the tests of the other build trees (every preset's of
# CMakePresets.json, read by cmake/trees.cmake), so that one ctest invocation covers them all. ctest reads each tree's tests
# with subdirs(), the command it writes into every CTestTestfile.cmake itself.
#
# A tree that was never built is not quietly passed over: it shows as a skipped test, or, with
# PORTPOKE_REQUIRE_ALL_TESTS, fails the configure (scripts/test configures this tree last) and the
# test run.
include(${CMAKE_CURRENT_LIST_DIR}/trees.cmake)
set(other_trees)
foreach(preset IN LISTS PORTPOKE_TREES)
  if(NOT PORTPOKE_TREE_DIR_${preset} STREQUAL CMAKE_BINARY_DIR)
    list(APPEND other_trees ${preset})
  endif()
endforeach()
if(PORTPOKE_REQUIRE_ALL_TESTS)
  set(missing_tree_status 1)
else()
  set(missing_tree_status 77)
endif()
set(trees_file ${CMAKE_BINARY_DIR}/other-trees.ctest)
file(WRITE ${trees_file} "# Read by ctest in the main build tree.\n")
foreach(preset IN LISTS other_trees)
  set(tree ${PORTPOKE_TREE_DIR_${preset}})
  if(PORTPOKE_REQUIRE_ALL_TESTS AND NOT EXISTS ${tree}/CTestTestfile.cmake)
    message(FATAL_ERROR "no build tree at ${tree}: "
      "cmake --preset ${preset} && cmake --build --preset ${preset}")
  endif()
  file(APPEND ${trees_file} "
if(EXISTS \"${tree}/CTestTestfile.cmake\")
  subdirs(\"${tree}\")
else()
  add_test(${preset}.build-tree \"sh\" \"-c\" \"echo 'no build tree at ${tree}: cmake --preset ${preset} && cmake --build --preset ${preset}'; exit ${missing_tree_status}\")
  set_tests_properties(${preset}.build-tree PROPERTIES SKIP_RETURN_CODE 77)
endif()
")
endforeach()
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${trees_file})
