# vorna_add_test(<name> LABEL <layer> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable per test file group, every case registered with CTest
# and labelled by layer so `ctest -L <layer>` runs one layer.
function(vorna_add_test name)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name}
    PROPERTIES LABELS ${ARG_LABEL}
    DISCOVERY_TIMEOUT 60)
endfunction()
