# Helpers shared by the project's CMake files.

# vaultry_add_test(<name> SOURCES ... LIBS ... [LABEL unit|gui|e2e] [WINDOW] [TIMEOUT <s>])
# Builds a Qt Test executable into build/tests and registers it with CTest under its label (unit by default), so
# that `ctest -L unit` runs the quick ones. Widgets run on the offscreen platform; WINDOW asks for a real X window
# (scripts/test runs CTest under Xvfb).
function(vaultry_add_test name)
  cmake_parse_arguments(T "WINDOW" "TIMEOUT;LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(T_WINDOW)
    set(platform xcb)
  else()
    set(platform offscreen)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS ${T_LABEL}
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=${platform};QTWEBENGINE_DISABLE_SANDBOX=1;QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu;VAULTRY_PROGRAM_DIR=${VAULTRY_PROGRAM_DIR};VAULTRY_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# vaultry_add_bench(<name> SOURCES ... LIBS ...): a measuring program in build/bench.
function(vaultry_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
