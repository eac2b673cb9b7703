# Installation in four parts, each a Debian package of its own through CPack:
# the program (its folder with the executables, the examples and the
# documentation side by side, as the program expects; launchers on the PATH;
# desktop entries with their icons), the shared library libcalvero, what a
# C program needs to build against it (header, pkg-config file), and the
# Python module.
include(GNUInstallDirs)
set(CALVERO_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/calvero1)

# Installed binaries are stripped unless asked otherwise: the build's
# RelWithDebInfo symbols are fifty times the size of the code. Configure
# with -DCALVERO_INSTALL_STRIPPED=OFF to install them with their symbols
# (or run the install script with -DCMAKE_INSTALL_DO_STRIP=0).
option(CALVERO_INSTALL_STRIPPED "Strip the binaries cmake --install installs" ON)
if(CALVERO_INSTALL_STRIPPED)
  install(CODE "if(NOT DEFINED CMAKE_INSTALL_DO_STRIP)\n  set(CMAKE_INSTALL_DO_STRIP TRUE)\nendif()" ALL_COMPONENTS)
endif()

install(TARGETS calvero1 RUNTIME DESTINATION ${CALVERO_PROGRAM_DIR} COMPONENT program)
foreach(companion calvero1-batch digitora)
  if(TARGET ${companion})
    install(TARGETS ${companion} RUNTIME DESTINATION ${CALVERO_PROGRAM_DIR} COMPONENT program)
  endif()
endforeach()
install(FILES ${CALVERO_RUNTIME_FILES} DESTINATION ${CALVERO_PROGRAM_DIR} COMPONENT program)

# The launchers are symbolic links: the program finds its folder through
# the real path of its executable.
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bin}\")
  foreach(name calvero1 calvero1-batch digitora)
    if(EXISTS \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CALVERO_PROGRAM_DIR}/\${name}\")
      file(CREATE_LINK \"../${CALVERO_PROGRAM_DIR}/\${name}\" \"\${bin}/\${name}\" SYMBOLIC)
    endif()
  endforeach()
" COMPONENT program)

set(CALVERO_DESKTOP_PROGRAMS calvero1)
if(TARGET digitora)
  list(APPEND CALVERO_DESKTOP_PROGRAMS digitora)
endif()
foreach(name ${CALVERO_DESKTOP_PROGRAMS})
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/${name}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          COMPONENT program)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/${name}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          COMPONENT program)
endforeach()

# The engine for other programs, where the loader, the compiler, pkg-config
# and Debian's Python find it: the library (its versioned name in the
# library's part, the bare name a linker looks for in the development part)
# and its header, calvero.pc with the prefix installed to, and the Python
# module beside Python's packages (Debian's python3.X reads
# PREFIX/lib/python3.X/dist-packages for both /usr/local, where
# cmake --install puts it, and /usr, the package's).
install(TARGETS calvero
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library NAMELINK_COMPONENT dev
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)
install(CODE "
  file(READ \"${CMAKE_BINARY_DIR}/pkgconfig-install/calvero.pc.in\" text)
  string(REPLACE \"%PREFIX%\" \"\${CMAKE_INSTALL_PREFIX}\" text \"\${text}\")
  file(WRITE \"${CMAKE_BINARY_DIR}/pkgconfig-install/calvero.pc\" \"\${text}\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig\" TYPE FILE
       FILES \"${CMAKE_BINARY_DIR}/pkgconfig-install/calvero.pc\")
" COMPONENT dev)
set(CALVERO_PYTHON_DIR lib/python${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}/dist-packages)
if(TARGET calvero_python)
  install(TARGETS calvero_python LIBRARY DESTINATION ${CALVERO_PYTHON_DIR} COMPONENT python)
  # The stub, for type checkers: beside the module and as its stub package.
  install(FILES ${CMAKE_SOURCE_DIR}/src/library/python/calvero.pyi DESTINATION ${CALVERO_PYTHON_DIR}
          COMPONENT python)
  install(FILES ${CMAKE_SOURCE_DIR}/src/library/python/calvero.pyi DESTINATION ${CALVERO_PYTHON_DIR}/calvero-stubs
          RENAME __init__.pyi COMPONENT python)
endif()
# A library put straight into the system's folders is known to the loader at once.
install(CODE "
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\" AND \"\${CMAKE_INSTALL_PREFIX}\" MATCHES \"^/usr(/local)?$\")
    execute_process(COMMAND ldconfig OUTPUT_QUIET ERROR_QUIET)
  endif()
" COMPONENT library)

# The packages: each installs alone, with what it needs found by
# dpkg-shlibdeps from the binaries and, below, what they load at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program library dev)
set(CPACK_PACKAGE_NAME calvero1)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "CALVERO1 <calvero1@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcalvero's shlibs file and the ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME calvero1)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION "Curve fitting for heating, ventilation and refrigeration engineers
The program with its windows, the batch command calvero1-batch, the point
reader digitora, the example data sets and the Italian help.")
# The shared-library scan does not see what Qt loads at run time: the TIFF and
# WebP readers of digitora, the English model its OCR reads tick labels with,
# and the Italian texts of Qt's standard dialogs; nor the fonts the reports
# are set in.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS
    "fonts-liberation2, fonts-dejavu-core, qt6-image-formats-plugins, qt6-translations-l10n, tesseract-ocr-eng")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION science)

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libcalvero${PROJECT_VERSION_MAJOR})
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION "CALVERO1's curve-fitting engine as a C library
libcalvero fits the equations of CALVERO1 (polynomial, power, exponential,
rational polynomial, surface and the others) to points given by a program.")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libcalvero-dev)
set(CPACK_COMPONENT_DEV_DESCRIPTION "CALVERO1's curve-fitting engine: header and pkg-config file
What a C or C++ program needs to build against libcalvero: calvero.h and
calvero.pc.")
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libcalvero${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)

if(TARGET calvero_python)
  list(APPEND CPACK_COMPONENTS_ALL python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-calvero)
  set(CPACK_COMPONENT_PYTHON_DESCRIPTION "CALVERO1's curve-fitting engine for Python
The module calvero: the fits of CALVERO1 on numbers or numpy arrays, for
Debian's Python ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}.")
  # The module holds the engine itself (it does not load libcalvero); it needs
  # numpy and the Python it was built for.
  math(EXPR next_minor "${Python3_VERSION_MINOR} + 1")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
      "python3-numpy, python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}), python3 (<< ${Python3_VERSION_MAJOR}.${next_minor})")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
endif()
include(CPack)
