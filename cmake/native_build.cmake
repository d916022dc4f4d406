# Native build: the portable core and its unit tests (gcc or clang on Linux).
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB unit_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(fixtally_unit_tests ${unit_test_sources})
target_link_libraries(fixtally_unit_tests PRIVATE fixtally_test_support GTest::gtest GTest::gmock GTest::gtest_main)
target_include_directories(fixtally_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
gtest_discover_tests(fixtally_unit_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS unit)

if(FIXTALLY_BENCH AND EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()
if(FIXTALLY_FUZZ AND EXISTS ${CMAKE_SOURCE_DIR}/tests/fuzz/CMakeLists.txt)
  add_subdirectory(tests/fuzz)
endif()
