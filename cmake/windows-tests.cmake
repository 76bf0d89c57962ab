# The native build tree's ctest also runs the tests of the Windows build tree, so that one ctest
# invocation covers both targets.
set(PORTPOKE_WINDOWS_BUILD_DIR "${PROJECT_SOURCE_DIR}/build/windows" CACHE PATH
  "Windows build tree whose tests run along with this tree's")
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows-tests.ctest.in
  ${CMAKE_BINARY_DIR}/windows-tests.ctest @ONLY)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES
  ${CMAKE_BINARY_DIR}/windows-tests.ctest)
