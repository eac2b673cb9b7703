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
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core, qt6-image-formats-plugins, qt6-translations-l10n, tesseract-ocr-eng")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
