# The main window: profile list, new, edit, delete, protected profiles, opening a profile in a tab.
vaultry_add_test(tst_frmmain
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_frmmain.cpp ${CMAKE_CURRENT_LIST_DIR}/loginpageserver.h
  ${CMAKE_CURRENT_LIST_DIR}/mainwindowharness.h
  LIBS vaultry_browser vaultry_testsupport Qt6::Network
  TIMEOUT 240)

# Not a test: renders the windows into docs/ for the README (run under Xvfb).
add_executable(vaultry_screenshots ${CMAKE_CURRENT_LIST_DIR}/screenshots.cpp ${CMAKE_CURRENT_LIST_DIR}/loginpageserver.h
  ${CMAKE_CURRENT_LIST_DIR}/mainwindowharness.h)
target_link_libraries(vaultry_screenshots PRIVATE vaultry_browser vaultry_testsupport Qt6::Network Qt6::Test)
set_target_properties(vaultry_screenshots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
