# Copies the example data sets and the documentation beside the binaries, so
# that the program finds them in its own folder when run from the build tree.
file(GLOB CALVERO_RUNTIME_FILES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/data/examples/*.txt
  ${CMAKE_SOURCE_DIR}/doc/*.htm
  ${CMAKE_SOURCE_DIR}/doc/*.html
  ${CMAKE_SOURCE_DIR}/doc/*.css
  ${CMAKE_SOURCE_DIR}/doc/*.png)
set(CALVERO_RUNTIME_COPIES "")
foreach(source ${CALVERO_RUNTIME_FILES})
  get_filename_component(name ${source} NAME)
  set(copy ${CMAKE_BINARY_DIR}/${name})
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${copy}
    DEPENDS ${source} VERBATIM)
  list(APPEND CALVERO_RUNTIME_COPIES ${copy})
endforeach()
add_custom_target(calvero_runtime_files ALL DEPENDS ${CALVERO_RUNTIME_COPIES})
