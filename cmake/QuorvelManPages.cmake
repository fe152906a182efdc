# quorvel_add_man_page(<dir>/<name>.<section>.scd COMPONENT <component>)
# Renders an scdoc source into a compressed manual page at build time and
# installs it into man<section> with the given component.
include(GNUInstallDirs)
find_program(SCDOC scdoc)
find_program(GZIP gzip)

function(quorvel_add_man_page source)
  cmake_parse_arguments(M "" "COMPONENT" "" ${ARGN})
  get_filename_component(file ${source} NAME)
  string(REGEX REPLACE "\\.scd$" "" page ${file})
  string(REGEX MATCH "[0-9]$" section ${page})
  if(NOT SCDOC OR NOT GZIP)
    message(WARNING "scdoc or gzip not found: the manual page ${page} is not built")
    return()
  endif()
  set(out ${CMAKE_BINARY_DIR}/man/${page})
  add_custom_command(OUTPUT ${out}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "\"$0\" < \"$1\" > \"$2\"" ${SCDOC} ${source} ${out}
    COMMAND ${GZIP} -9nf ${out}
    DEPENDS ${source}
    COMMENT "Manual page ${page}"
    VERBATIM)
  string(MAKE_C_IDENTIFIER "man_${page}" target)
  add_custom_target(${target} ALL DEPENDS ${out}.gz)
  install(FILES ${out}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section}
          COMPONENT ${M_COMPONENT})
endfunction()
