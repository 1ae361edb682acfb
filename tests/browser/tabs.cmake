# Account tabs, automatic sign-in and the window layout.
vaultry_add_test(tst_formfiller SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_formfiller.cpp
  ${CMAKE_CURRENT_LIST_DIR}/loginpageserver.h ${CMAKE_CURRENT_LIST_DIR}/tabsharness.h
  LIBS vaultry_browser vaultry_testsupport Qt6::Network WINDOW TIMEOUT 300)
