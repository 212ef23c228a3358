# Helpers that let each folder pick up its sources by globbing, so that adding
# a file never means editing a shared list.

# qorvi_library(<name> DIR <dir> [DEPS <targets>...])
# A static library of every .cpp in <dir> (not recursive).
function(qorvi_library name)
    cmake_parse_arguments(ARG "" "DIR" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${ARG_DIR}/*.h)
    if(NOT sources)
        # A folder whose first sources have not landed yet.
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
        return()
    endif()
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# qorvi_test_suite(<name> DIR <dir> [DEPS <targets>...] [ENV <var=value>...] [LABELS <labels>...])
# One GoogleTest executable of every .cpp in <dir> and its sub-folders; each
# test case is registered with ctest.
function(qorvi_test_suite name)
    cmake_parse_arguments(ARG "" "DIR" "DEPS;ENV;LABELS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        QORVI_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        QORVI_BINARY_DIR="${PROJECT_BINARY_DIR}")
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "${ARG_ENV}" LABELS "${ARG_LABELS}")
endfunction()

# qorvi_benchmark(<name> SOURCES <files> DEPS <targets>)
# A Google Benchmark program, also run by ctest as a quick smoke run with
# small data (QORVI_BENCH_SMOKE=1).
function(qorvi_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    if(QORVI_BUILD_TESTS)
        add_test(NAME ${name}_smoke COMMAND ${name} --benchmark_min_time=0.001)
        set_tests_properties(${name}_smoke PROPERTIES
            ENVIRONMENT "QORVI_BENCH_SMOKE=1" LABELS "bench-smoke" TIMEOUT 600)
    endif()
endfunction()

# qorvi_fuzzer(<name> SOURCES <files> DEPS <targets>)
# A fuzz target (LLVMFuzzerTestOneInput). With QORVI_LIBFUZZER it links
# libFuzzer; otherwise it links a replay driver that feeds it seeded random
# inputs, so every target is built and exercised by ctest under the sanitizers.
function(qorvi_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    if(QORVI_LIBFUZZER)
        add_executable(${name} ${ARG_SOURCES})
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    else()
        add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
        if(QORVI_BUILD_TESTS)
            add_test(NAME ${name}_replay COMMAND ${name} --runs=2000)
            set_tests_properties(${name}_replay PROPERTIES LABELS "fuzz-replay" TIMEOUT 300)
            # Inputs that once found a fault replay on their own as well.
            string(REGEX REPLACE "_fuzz$" "" corpus ${name})
            if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/fuzz/corpus/${corpus})
                add_test(NAME ${name}_corpus COMMAND ${name} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${corpus})
                set_tests_properties(${name}_corpus PROPERTIES LABELS "fuzz-replay" TIMEOUT 300)
            endif()
        endif()
    endif()
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
endfunction()

# Runs moc on a Qt target (only Qt targets, so Qt-free ones stay plain).
function(qorvi_enable_automoc name)
    get_target_property(type ${name} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
        set_target_properties(${name} PROPERTIES AUTOMOC ON)
    endif()
endfunction()
