# tessel_add_test(<name> SOURCES ... [LIBS ...] [GUI])
# One test executable per unit. Names start with the subsystem folder so that
# `ctest -R archive` runs one subsystem. GUI tests run with the offscreen platform
# and carry the label "gui"; everything else carries "core" (the sanitizer run).
function(tessel_add_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
  if(T_GUI AND NOT TESSEL_GUI)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    set(label gui)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
    set(label core)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    LABELS ${label}
    TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/home-${name}/.config;TESSEL_TEST_TOOLS=${PROJECT_SOURCE_DIR}/tests/tools;HOME=${CMAKE_CURRENT_BINARY_DIR}/home-${name};TESSEL_REGISTRY_FILE=${CMAKE_CURRENT_BINARY_DIR}/home-${name}/user.reg")
endfunction()
