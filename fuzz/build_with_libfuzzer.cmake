# Builds every fuzz target as scripts/fuzz.sh does (clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer) in a folder of the test
# build: a test of the suite, so that code the test compiler takes and clang
# refuses (clang 14 does not let a lambda capture a structured binding) fails
# the suite instead of the next long fuzzing run. Without optimisation or
# debug information: what clang refuses or the linker misses shows the same,
# in half the time of the long runs' build.
#   cmake -DSOURCE=... -DBUILD=... -DCLANGXX=... -DCLANG=... [-DLAUNCHER=ccache] -P build_with_libfuzzer.cmake
set(configure ${CMAKE_COMMAND} -S ${SOURCE} -B ${BUILD} -G Ninja -DCMAKE_C_COMPILER=${CLANG} -DCMAKE_CXX_COMPILER=${CLANGXX}
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS_DEBUG=-O0 -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DCALVERO_FUZZ=ON -DCALVERO_BUILD_TESTS=OFF -DCALVERO_BUILD_BENCHMARKS=OFF)
if(LAUNCHER)
  list(APPEND configure -DCMAKE_C_COMPILER_LAUNCHER=${LAUNCHER} -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()
execute_process(COMMAND ${configure} RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configuring the libFuzzer build failed (${status})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target calvero_fuzz --parallel 2 RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the fuzz targets do not build with clang and libFuzzer (${status})")
endif()
