# The libFuzzer targets (build/fuzz, clang): each fuzz/*_fuzz.cpp is its own
# executable over the core, and each gets a ctest test fuzz.<name> that runs
# it for a bounded time on a scratch corpus in this build tree, seeded with
# the files of tests/data that the target reads (by its name).

if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "FRAMBO_FUZZ needs clang (libFuzzer); configure with CXX=clang++ CC=clang")
endif()

set(FRAMBO_FUZZ_SECONDS 60 CACHE STRING "How long each fuzz test runs")

# Undefined behaviour must stop the run, or the fuzzer would report success.
set(frambo_fuzz_sanitizers -fno-omit-frame-pointer -fno-sanitize-recover=all)
target_compile_options(frambo_core PRIVATE
  -fsanitize=fuzzer-no-link,address,undefined ${frambo_fuzz_sanitizers})
target_compile_options(frambo_headless PRIVATE
  -fsanitize=fuzzer-no-link,address,undefined ${frambo_fuzz_sanitizers})

file(GLOB FRAMBO_FUZZ_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cpp")
if(NOT FRAMBO_FUZZ_SOURCES)
  message(STATUS "fuzz: no fuzz/*_fuzz.cpp yet, nothing to build")
  return()
endif()

enable_testing()
foreach(source IN LISTS FRAMBO_FUZZ_SOURCES)
  get_filename_component(name "${source}" NAME_WE)
  add_executable(${name} "${source}")
  target_compile_options(${name} PRIVATE
    -fsanitize=fuzzer,address,undefined ${frambo_fuzz_sanitizers})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE frambo_headless frambo_core)
  target_compile_definitions(${name} PRIVATE
    FRAMBO_TEST_DATA="${FRAMBO_TEST_DATA_DIR}")

  set(seed_extensions gif)
  if(name MATCHES "bmp")
    set(seed_extensions bmp)
  elseif(name MATCHES "jpeg")
    set(seed_extensions "jpg,jpeg")
  elseif(name MATCHES "palette")
    set(seed_extensions pal)
  endif()
  add_test(NAME fuzz.${name}
    COMMAND "${CMAKE_SOURCE_DIR}/scripts/fuzz-run"
      "${CMAKE_BINARY_DIR}/corpus/${name}" "${FRAMBO_TEST_DATA_DIR}" "${seed_extensions}"
      "$<TARGET_FILE:${name}>"
      -max_total_time=${FRAMBO_FUZZ_SECONDS} -rss_limit_mb=4096 -timeout=30
      "-artifact_prefix=${CMAKE_BINARY_DIR}/artifacts/${name}-")
  math(EXPR frambo_fuzz_timeout "${FRAMBO_FUZZ_SECONDS} + 240")
  set_tests_properties(fuzz.${name} PROPERTIES
    LABELS fuzz TIMEOUT ${frambo_fuzz_timeout})
endforeach()
