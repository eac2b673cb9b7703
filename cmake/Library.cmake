# The engine for other programs: libcalvero, a shared library with a C door
# (src/library/c/calvero.h) and its pkg-config file, and the Python module
# calvero for Debian's own Python. Both are built beside the programs in the
# build folder, which holds libcalvero.so, a calvero.pc that works there
# uninstalled, and calvero.cpython-*.so (PYTHONPATH=build).

# The C library: only the calvero_* functions are seen from outside.
add_library(calvero SHARED ${CMAKE_SOURCE_DIR}/src/library/c/calvero.cpp)
target_link_libraries(calvero PRIVATE calvero_library)
target_compile_definitions(calvero PRIVATE CALVERO_VERSION="${PROJECT_VERSION}")
set_target_properties(calvero PROPERTIES
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
  PUBLIC_HEADER ${CMAKE_SOURCE_DIR}/src/library/c/calvero.h)
target_link_options(calvero PRIVATE
  LINKER:--version-script=${CMAKE_SOURCE_DIR}/src/library/c/calvero.map LINKER:--as-needed LINKER:--no-undefined)
set_property(TARGET calvero APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/src/library/c/calvero.map)

# pkg-config: the installed file (its prefix written at install time,
# cmake/Install.cmake), and one for the build folder that finds the header in
# the sources and the library (with its run path) here.
configure_file(${CMAKE_SOURCE_DIR}/cmake/calvero.pc.in ${CMAKE_BINARY_DIR}/pkgconfig-install/calvero.pc.in @ONLY)
file(WRITE ${CMAKE_BINARY_DIR}/calvero.pc
  "Name: calvero\n"
  "Description: the CALVERO1 fitting engine (uninstalled, in ${CMAKE_BINARY_DIR})\n"
  "Version: ${PROJECT_VERSION}\n"
  "Cflags: -I${CMAKE_SOURCE_DIR}/src/library/c\n"
  "Libs: -L${CMAKE_BINARY_DIR} -Wl,-rpath,${CMAKE_BINARY_DIR} -lcalvero\n")

# The Python module, for /usr/bin/python3 even when another python3 comes
# first on the PATH.
option(CALVERO_BUILD_PYTHON "Build the Python module calvero" ON)
if(CALVERO_BUILD_PYTHON)
  if(EXISTS /usr/bin/python3 AND NOT DEFINED Python3_EXECUTABLE)
    set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "The Python the module is built for")
  endif()
  find_package(Python3 REQUIRED COMPONENTS Interpreter Development.Module)
  find_package(pybind11 CONFIG REQUIRED)
  pybind11_add_module(calvero_python MODULE ${CMAKE_SOURCE_DIR}/src/library/python/calvero_module.cpp)
  target_link_libraries(calvero_python PRIVATE calvero_library)
  target_compile_definitions(calvero_python PRIVATE CALVERO_VERSION="${PROJECT_VERSION}")
  set_target_properties(calvero_python PROPERTIES OUTPUT_NAME calvero LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  target_link_options(calvero_python PRIVATE LINKER:--as-needed)
  # Its types for editors (calvero.pyi beside the module) and for mypy (a
  # stub package, which it finds among the installed packages by itself).
  configure_file(${CMAKE_SOURCE_DIR}/src/library/python/calvero.pyi ${CMAKE_BINARY_DIR}/calvero.pyi COPYONLY)
  configure_file(${CMAKE_SOURCE_DIR}/src/library/python/calvero.pyi ${CMAKE_BINARY_DIR}/calvero-stubs/__init__.pyi COPYONLY)
endif()
