# Helpers for tests, fuzz targets and benchmarks; kept out of the way of plain library builds.

if(TOLV_BUILD_TESTS AND NOT TARGET GTest::gtest)
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# tolv_add_test(NAME name SOURCES files... [LIBS libs...])
function(tolv_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  if(CMAKE_CROSSCOMPILING)
    # One process per program under the emulator: starting it per test would cost more than the
    # tests. The sources of a program are compiled as one, which halves the cross build.
    set_target_properties(${T_NAME} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "TOLV_BUILD_DIR=${CMAKE_BINARY_DIR}")
  else()
    gtest_discover_tests(${T_NAME} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                         PROPERTIES ENVIRONMENT "TOLV_BUILD_DIR=${CMAKE_BINARY_DIR}"
                         DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# tolv_add_fuzzer(NAME name SOURCE file [LIBS libs...])
# With TOLV_FUZZ the target is a libFuzzer binary; otherwise it is a plain program that replays the
# saved inputs under fuzz/corpus/<name>/, registered as a test.
function(tolv_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;SOURCE" "LIBS" ${ARGN})
  if(TOLV_FUZZ)
    add_executable(${F_NAME} ${F_SOURCE})
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(${F_NAME} ${F_SOURCE} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    if(TOLV_BUILD_TESTS)
      add_test(NAME ${F_NAME}.replay
               COMMAND ${F_NAME} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${F_NAME})
    endif()
  endif()
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_include_directories(${F_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

# tolv_add_benchmark(NAME name SOURCES files... [LIBS libs...])
function(tolv_add_benchmark)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
  target_include_directories(${B_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
