# Installation and the Debian packages, split as Debian splits a library:
#   quorvel           the programs, the simulated system's scenarios, the
#                     systemd template unit of the headless collector;
#   libtorvu16vc71-1  the UTF-16 stdio library's shared object;
#   libtorvu16-dev    its header, link, pkg-config and CMake files, man page.
# Each install rule names its component, which is the package it goes into.
include(GNUInstallDirs)

if(NOT QUORVEL_WITH_QT)
  return()
endif()

set(QUORVEL_PROGRAMS quorvel quorvel-console r3sim pellamy4 quorvel-sessiondump)
install(TARGETS ${QUORVEL_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT quorvel)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/r3sim/scenarios/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvel/scenarios COMPONENT quorvel
        FILES_MATCHING PATTERN "*.json")
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT quorvel)
install(FILES ${PROJECT_SOURCE_DIR}/r3sim/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME r3sim.md COMPONENT quorvel)
install(FILES ${PROJECT_SOURCE_DIR}/app/console/service/quorvel.conf.example
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT quorvel)
foreach(program IN LISTS QUORVEL_PROGRAMS)
  quorvel_add_man_page(${PROJECT_SOURCE_DIR}/packaging/man/${program}.1.scd COMPONENT quorvel)
endforeach()

# The unit names the installed program, so it is made at install time, when
# the prefix is known (CPack installs below /usr). systemd finds units below
# <prefix>/lib/systemd/system for /usr and /usr/local alike.
set(QUORVEL_UNIT_TEMPLATE ${PROJECT_SOURCE_DIR}/app/console/service/quorvel@.service.in)
install(CODE "
  set(BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  set(DOCDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DOCDIR}\")
  set(unit \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/system/quorvel@.service\")
  message(STATUS \"Installing: \${unit}\")
  configure_file(\"${QUORVEL_UNIT_TEMPLATE}\" \"\${unit}\" @ONLY)
" COMPONENT quorvel)

# A copy that names the program of this build, for systemd-analyze verify.
set(BINDIR "$<TARGET_FILE_DIR:quorvel-console>")
set(DOCDIR "${PROJECT_SOURCE_DIR}")
configure_file(${QUORVEL_UNIT_TEMPLATE} ${PROJECT_BINARY_DIR}/service/quorvel@.service.gen @ONLY)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/service/quorvel@QAS.service
     INPUT ${PROJECT_BINARY_DIR}/service/quorvel@.service.gen)
find_program(SYSTEMD_ANALYZE systemd-analyze)
if(SYSTEMD_ANALYZE)
  add_test(NAME systemd_unit_verify
           COMMAND ${SYSTEMD_ANALYZE} verify ${PROJECT_BINARY_DIR}/service/quorvel@QAS.service)
  set_tests_properties(systemd_unit_verify PROPERTIES LABELS unit TIMEOUT 60)
  add_test(NAME systemd_unit_security
           COMMAND sh ${PROJECT_SOURCE_DIR}/app/console/service/check-security.sh
                   ${PROJECT_BINARY_DIR}/service/quorvel@QAS.service 2.5)
  set_tests_properties(systemd_unit_security PROPERTIES LABELS unit TIMEOUT 60)
endif()

set(QUORVEL_MAINTAINER "Quorvel developers <maintainers@quorvel.example.org>")
set(QUORVEL_PACKAGE_VERSION ${PROJECT_VERSION})
set(QUORVEL_PACKAGES quorvel)
if(QUORVEL_WITH_TORVU16)
  list(APPEND QUORVEL_PACKAGES libtorvu16vc71-1 libtorvu16-dev)
endif()

# Every package carries the copyright file and the changelog in its own
# documentation directory; the version is native (no Debian revision), so
# the changelog is changelog.gz.
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in
               ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  COMMAND ${GZIP} -9nkf ${PROJECT_BINARY_DIR}/packaging/changelog
  DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
foreach(package IN LISTS QUORVEL_PACKAGES)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
                ${PROJECT_BINARY_DIR}/packaging/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${package})
endforeach()
if(QUORVEL_WITH_TORVU16)
  install(FILES ${PROJECT_SOURCE_DIR}/torvu16/README.md
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libtorvu16-dev COMPONENT libtorvu16-dev)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "Quorvel developers")
set(CPACK_PACKAGE_CONTACT "${QUORVEL_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${QUORVEL_PACKAGE_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${QUORVEL_PACKAGES})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A package with a shared library gets its shlibs file (and ldconfig calls):
# programs built against it depend on at least the version they were built with.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The packages carry stripped binaries; their debug information stays in
# the build tree's build-id directory (below).
set(CPACK_STRIP_FILES ON)
# dpkg runs ldconfig through this trigger; CPack itself also calls ldconfig
# from the maintainer scripts of a package with a library in /usr/lib.
set(CPACK_DEBIAN_LIBTORVU16VC71-1_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/triggers)
set(CPACK_DEBIAN_LIBTORVU16VC71-1_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_QUORVEL_PACKAGE_NAME quorvel)
set(CPACK_DEBIAN_QUORVEL_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_QUORVEL_PACKAGE_DEPENDS "systemd")
set(CPACK_COMPONENT_QUORVEL_DESCRIPTION
    "performance-data collector for R/3 systems
quorvel collects the statistics an R/3 system keeps about itself (system,
instances, hosts and standalone database servers) through RFC every minute
and quarter hour into session folders of binary record files.

The package holds the collector with its main window, quorvel-console for
servers with a systemd template unit, the data reduction pellamy4, the
session dump quorvel-sessiondump and r3sim, a simulated R/3 system for
trying the collector out.")

set(CPACK_DEBIAN_LIBTORVU16VC71-1_PACKAGE_NAME libtorvu16vc71-1)
set(CPACK_DEBIAN_LIBTORVU16VC71-1_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_LIBTORVU16VC71-1_DESCRIPTION
    "standard I/O on UTF-16 text over UTF-8 byte streams
libtorvu16vc71 gives programs that hold text as 16-bit UTF-16 units the C
library's formatted, character, line and block I/O on byte streams whose
bytes are UTF-8, and conversions between the two encodings.

This package holds the shared library.")

set(CPACK_DEBIAN_LIBTORVU16-DEV_PACKAGE_NAME libtorvu16-dev)
set(CPACK_DEBIAN_LIBTORVU16-DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_LIBTORVU16-DEV_PACKAGE_DEPENDS
    "libtorvu16vc71-1 (= ${QUORVEL_PACKAGE_VERSION})")
set(CPACK_COMPONENT_LIBTORVU16-DEV_DESCRIPTION
    "standard I/O on UTF-16 text over UTF-8 byte streams - development files
libtorvu16vc71 gives programs that hold text as 16-bit UTF-16 units the C
library's formatted, character, line and block I/O on byte streams whose
bytes are UTF-8, and conversions between the two encodings.

This package holds the header torvu16.h, the link library, the pkg-config
file torvu16.pc, the CMake package torvu16 and the manual page torvu16(3).")
include(CPack)

# The debug information of every packaged binary, kept by its build id in
# <build>/debug/.build-id/xx/yyyy.debug, where gdb finds it with
# "set debug-file-directory <build>/debug".
set(QUORVEL_PACKAGED_BINARIES ${QUORVEL_PROGRAMS})
if(QUORVEL_WITH_TORVU16)
  list(APPEND QUORVEL_PACKAGED_BINARIES torvu16vc71)
endif()
set(debug_files)
foreach(binary IN LISTS QUORVEL_PACKAGED_BINARIES)
  list(APPEND debug_files $<TARGET_FILE:${binary}>)
endforeach()
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debug/stamp
  COMMAND ${PROJECT_SOURCE_DIR}/packaging/keep-debug-files.sh ${PROJECT_BINARY_DIR}/debug ${debug_files}
  COMMAND ${CMAKE_COMMAND} -E touch ${PROJECT_BINARY_DIR}/debug/stamp
  DEPENDS ${QUORVEL_PACKAGED_BINARIES} ${PROJECT_SOURCE_DIR}/packaging/keep-debug-files.sh
  COMMENT "Debug files of the packaged binaries"
  VERBATIM)
add_custom_target(debug_files ALL DEPENDS ${PROJECT_BINARY_DIR}/debug/stamp)

# Packages are made from the plain build: a sanitizer build's binaries need
# its runtime and are not what anyone installs.
find_program(DPKG_DEB dpkg-deb)
if(DPKG_DEB AND NOT QUORVEL_SANITIZE AND NOT QUORVEL_TSAN)
  add_test(NAME debian_package COMMAND ${PROJECT_SOURCE_DIR}/cmake/check-package.sh ${PROJECT_BINARY_DIR})
  set_tests_properties(debian_package PROPERTIES LABELS integration TIMEOUT 300)
endif()
