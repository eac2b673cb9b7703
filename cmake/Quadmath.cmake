# calvero_quadmath: GCC's quad-precision library (the typed equations' last
# refinement, the decimal texts' remainders). Its header lives in GCC's own
# include folder, which clang (the fuzzing build's compiler) does not search:
# there it is added after clang's own headers, so clang's intrinsics stay first.
add_library(calvero_quadmath INTERFACE)
target_link_libraries(calvero_quadmath INTERFACE quadmath)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  execute_process(COMMAND gcc -print-file-name=include
    OUTPUT_VARIABLE calvero_gcc_include OUTPUT_STRIP_TRAILING_WHITESPACE)
  find_path(CALVERO_QUADMATH_INCLUDE quadmath.h HINTS ${calvero_gcc_include} NO_DEFAULT_PATH)
  if(NOT CALVERO_QUADMATH_INCLUDE)
    message(FATAL_ERROR "quadmath.h not found (GCC's libquadmath, package libgcc-12-dev)")
  endif()
  target_compile_options(calvero_quadmath INTERFACE "SHELL:-idirafter ${CALVERO_QUADMATH_INCLUDE}")
endif()
