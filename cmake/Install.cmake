# Installation: the program folder (the executables, the examples and the
# documentation side by side, as the program expects), launchers on the
# PATH, desktop entries with their icons; and a Debian package through CPack.
include(GNUInstallDirs)
set(CALVERO_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/calvero1)

install(TARGETS calvero1 RUNTIME DESTINATION ${CALVERO_PROGRAM_DIR})
foreach(companion calvero1-batch digitora)
  if(TARGET ${companion})
    install(TARGETS ${companion} RUNTIME DESTINATION ${CALVERO_PROGRAM_DIR})
  endif()
endforeach()
install(FILES ${CALVERO_RUNTIME_FILES} DESTINATION ${CALVERO_PROGRAM_DIR})

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
")

# The engine for other programs, where the loader, the compiler, pkg-config
# and Debian's Python find it: the library and its header, calvero.pc with
# the prefix installed to, and the Python module beside Python's packages
# (Debian's python3.X reads PREFIX/lib/python3.X/dist-packages for both
# /usr/local, where cmake --install puts it, and /usr, the package's).
install(TARGETS calvero LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(CODE "
  file(READ \"${CMAKE_BINARY_DIR}/pkgconfig-install/calvero.pc.in\" text)
  string(REPLACE \"%PREFIX%\" \"\${CMAKE_INSTALL_PREFIX}\" text \"\${text}\")
  file(WRITE \"${CMAKE_BINARY_DIR}/pkgconfig-install/calvero.pc\" \"\${text}\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig\" TYPE FILE
       FILES \"${CMAKE_BINARY_DIR}/pkgconfig-install/calvero.pc\")
")
if(TARGET calvero_python)
  set(CALVERO_PYTHON_DIR lib/python${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}/dist-packages)
  install(TARGETS calvero_python LIBRARY DESTINATION ${CALVERO_PYTHON_DIR})
  install(FILES ${CMAKE_SOURCE_DIR}/src/library/python/calvero.pyi DESTINATION ${CALVERO_PYTHON_DIR})
  install(FILES ${CMAKE_SOURCE_DIR}/src/library/python/calvero.pyi DESTINATION ${CALVERO_PYTHON_DIR}/calvero-stubs
          RENAME __init__.pyi)
endif()
# A library put straight into the system's folders is known to the loader at once.
install(CODE "
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\" AND \"\${CMAKE_INSTALL_PREFIX}\" MATCHES \"^/usr(/local)?$\")
    execute_process(COMMAND ldconfig OUTPUT_QUIET ERROR_QUIET)
  endif()
")

set(CALVERO_DESKTOP_PROGRAMS calvero1)
if(TARGET digitora)
  list(APPEND CALVERO_DESKTOP_PROGRAMS digitora)
endif()
foreach(name ${CALVERO_DESKTOP_PROGRAMS})
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/${name}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/${name}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME calvero1)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "CALVERO1 <calvero1@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Curve fitting for heating, ventilation and refrigeration engineers")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shared-library scan does not see what Qt loads at run time: the TIFF and
# WebP readers of digitora, the English model its OCR reads tick labels with,
# and the Italian texts of Qt's standard dialogs.
# The Python module needs numpy and the Python it was built for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core, qt6-image-formats-plugins, qt6-translations-l10n, tesseract-ocr-eng")
if(TARGET calvero_python)
  math(EXPR next_minor "${Python3_VERSION_MINOR} + 1")
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", python3-numpy, python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}), "
         "python3 (<< ${Python3_VERSION_MAJOR}.${next_minor})")
endif()
# libcalvero's shlibs file and the ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
