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
