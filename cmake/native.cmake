# Native build: the portable core under AddressSanitizer and
# UndefinedBehaviorSanitizer, kvtool, the unit tests and benchmarks.

# Debug trees (the test build) run under the sanitizers; a Release tree,
# such as one a user builds kvtool in, is a plain optimised build.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel|RelWithDebInfo)$")
  set(KV_SANITIZE)
else()
  set(KV_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
endif()
target_compile_options(kvcore PRIVATE ${KV_SANITIZE} -g)
target_link_options(kvcore PUBLIC ${KV_SANITIZE})
# The test build also has the standard library check its own preconditions
# (an empty optional read, an index past the end), which the sanitizers do
# not see when the memory read is still the object's own.
if(KV_SANITIZE)
  target_compile_definitions(kvcore PUBLIC _GLIBCXX_ASSERTIONS)
endif()

# kvtool, which a Linux user builds alone, needs nothing but the compiler.
include(${CMAKE_CURRENT_LIST_DIR}/tool.cmake)
target_compile_options(kvtoolcore PRIVATE ${KV_SANITIZE} -g)
target_compile_options(kvtool PRIVATE ${KV_SANITIZE} -g)
add_test(NAME kvtool_exit_status
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tool/exit_status.sh $<TARGET_FILE:kvtool> ${CMAKE_SOURCE_DIR})
set_tests_properties(kvtool_exit_status PROPERTIES LABELS native)
# The example schedule, written for the local zone, read back by kvtool.
add_test(NAME example_schedule_local_times
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/write_example_test.sh $<TARGET_FILE:kvtool>)
set_tests_properties(example_schedule_local_times PROPERTIES LABELS native)

# The unit tests, where GoogleTest is installed (the test build requires it).
if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel|RelWithDebInfo)$")
  find_package(GTest QUIET)
else()
  find_package(GTest REQUIRED)
endif()
if(GTest_FOUND)
  include(GoogleTest)
  file(GLOB KV_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
  add_executable(kv_unit_tests ${KV_UNIT_TESTS})
  target_include_directories(kv_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
  target_compile_options(kv_unit_tests PRIVATE ${KV_WARNINGS} ${KV_SANITIZE} -g)
  target_link_libraries(kv_unit_tests PRIVATE kvcore GTest::gtest GTest::gtest_main)
  gtest_discover_tests(kv_unit_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS native)

  file(GLOB KV_TOOL_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/tool/*.cpp)
  add_executable(kvtool_tests ${KV_TOOL_TESTS})
  target_include_directories(kvtool_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
  target_compile_options(kvtool_tests PRIVATE ${KV_WARNINGS} ${KV_SANITIZE} -g)
  target_compile_definitions(kvtool_tests PRIVATE KV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(kvtool_tests PRIVATE kvtoolcore GTest::gtest GTest::gtest_main)
  gtest_discover_tests(kvtool_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS native)

  # Every allocation of each schedule operation made to fail in turn. It
  # replaces the global operator new, so it is a program of its own.
  add_executable(kv_fault_tests ${CMAKE_SOURCE_DIR}/tests/faults/allocation_failures_test.cpp)
  target_include_directories(kv_fault_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
  target_compile_options(kv_fault_tests PRIVATE ${KV_WARNINGS} ${KV_SANITIZE} -g)
  target_link_libraries(kv_fault_tests PRIVATE kvcore GTest::gtest GTest::gtest_main)
  gtest_discover_tests(kv_fault_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS native)
endif()

# Each fuzz target for 20 s, on a copy of its committed corpus. The targets
# are built with clang by scripts/fuzz.sh; without clang they are skipped.
foreach(target schedule_file entry_line date_time_text kvtool_check)
  add_test(NAME fuzz_${target} COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/fuzz.sh 20 ${target})
  set_tests_properties(fuzz_${target} PROPERTIES LABELS fuzz TIMEOUT 900 SKIP_RETURN_CODE 77
    RESOURCE_LOCK kv_fuzz_build
    ENVIRONMENT "KV_FUZZ_SCRATCH=1;KV_FUZZ_DIR=${CMAKE_BINARY_DIR}/../fuzz")
endforeach()

# Benchmarks are built but never run by ctest: they measure, they do not pass
# or fail. Run them with scripts/bench.sh.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  file(GLOB KV_BENCHMARKS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
  list(FILTER KV_BENCHMARKS EXCLUDE REGEX "_win32\\.cpp$")
  if(KV_BENCHMARKS)
    # Built without sanitizers so that the numbers mean something.
    add_library(kvcore_bench STATIC ${KV_CORE_SOURCES})
    target_include_directories(kvcore_bench PUBLIC ${CMAKE_SOURCE_DIR})
    target_compile_options(kvcore_bench PRIVATE ${KV_WARNINGS} -O2)
    add_executable(kv_benchmarks ${KV_BENCHMARKS})
    target_compile_options(kv_benchmarks PRIVATE -O2)
    target_link_libraries(kv_benchmarks PRIVATE kvcore_bench benchmark::benchmark benchmark::benchmark_main)
  endif()
endif()
