# Account tabs, automatic sign-in and the window layout.
vaultry_add_test(tst_formfiller SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_formfiller.cpp
  ${CMAKE_CURRENT_LIST_DIR}/loginpageserver.h ${CMAKE_CURRENT_LIST_DIR}/tabsharness.h
  ${CMAKE_CURRENT_LIST_DIR}/mainwindowharness.h
  LIBS vaultry_browser vaultry_testsupport Qt6::Network WINDOW TIMEOUT 300)
vaultry_add_test(tst_accounttabs SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_accounttabs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/loginpageserver.h ${CMAKE_CURRENT_LIST_DIR}/tabsharness.h
  LIBS vaultry_browser vaultry_testsupport Qt6::Network WINDOW TIMEOUT 300)
vaultry_add_test(tst_mainlayout SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainlayout.cpp LIBS vaultry_browser)
vaultry_add_test(tst_mainwindowlayout SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainwindowlayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mainwindowharness.h LIBS vaultry_browser vaultry_testsupport WINDOW TIMEOUT 120)
# Pictures for the README (not a test).
add_executable(tabs_screenshots ${CMAKE_CURRENT_LIST_DIR}/tabs_screenshots.cpp ${CMAKE_CURRENT_LIST_DIR}/loginpageserver.h
  ${CMAKE_CURRENT_LIST_DIR}/mainwindowharness.h)
target_link_libraries(tabs_screenshots PRIVATE vaultry_browser vaultry_testsupport Qt6::Network)
set_target_properties(tabs_screenshots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
