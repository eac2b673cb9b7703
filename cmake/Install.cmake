# Installation: the program folder (both executables, the examples and the
# documentation side by side, as the program expects), a launcher on the
# PATH, a desktop entry with its icon; and a Debian package through CPack.
include(GNUInstallDirs)
set(CALVERO_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/calvero1)

install(TARGETS calvero1 RUNTIME DESTINATION ${CALVERO_PROGRAM_DIR})
if(TARGET calvero1-batch)
  install(TARGETS calvero1-batch RUNTIME DESTINATION ${CALVERO_PROGRAM_DIR})
endif()
install(FILES ${CALVERO_RUNTIME_FILES} DESTINATION ${CALVERO_PROGRAM_DIR})

# The launchers are symbolic links: the program finds its folder through
# the real path of its executable.
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bin}\")
  foreach(name calvero1 calvero1-batch)
    if(EXISTS \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CALVERO_PROGRAM_DIR}/\${name}\")
      file(CREATE_LINK \"../${CALVERO_PROGRAM_DIR}/\${name}\" \"\${bin}/\${name}\" SYMBOLIC)
    endif()
  endforeach()
")

install(FILES ${CMAKE_SOURCE_DIR}/packaging/calvero1.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/calvero1.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME calvero1)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "CALVERO1 <calvero1@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Curve fitting for heating, ventilation and refrigeration engineers")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
