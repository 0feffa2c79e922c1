# kestrune_add_test(NAME src...): one GoogleTest executable per test folder, registered with
# CTest. In the Windows build CTest runs it through the Wine wrapper (the cross-compiling
# emulator), so the same tests run natively and under Wine. What the runs of the tests keep
# between runs (their journals) stays in the build tree, never in the user's own folder.
function(kestrune_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE kestrune_core kestrune_test_support kestrune_gtest kestrune_gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "KESTRUNE_SOURCE_DIR=${CMAKE_SOURCE_DIR};KESTRUNE_BUILD_DIR=${CMAKE_BINARY_DIR};XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-state"
    TIMEOUT 900)
endfunction()
