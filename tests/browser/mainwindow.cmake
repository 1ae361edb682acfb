# The main window: profile list, new, edit, delete, protected profiles, opening a profile in a tab.
vaultry_add_test(tst_frmmain
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_frmmain.cpp
  LIBS vaultry_browser vaultry_testsupport
  TIMEOUT 240)
