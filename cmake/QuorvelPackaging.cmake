# Installation and the Debian package: the programs, the simulated system
# with its scenarios, the data reduction, the session dump and the systemd
# template unit of the headless collector.
include(GNUInstallDirs)

if(NOT QUORVEL_WITH_QT)
  return()
endif()

install(TARGETS quorvel quorvel-console r3sim pellamy4 quorvel-sessiondump
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/r3sim/scenarios/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvel/scenarios FILES_MATCHING PATTERN "*.json")
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/r3sim/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME r3sim.md)
install(FILES ${PROJECT_SOURCE_DIR}/app/console/service/quorvel.conf.example
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

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
")

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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "Quorvel developers")
set(CPACK_PACKAGE_CONTACT "Quorvel developers <quorvel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Performance-data collector for R/3 systems, its data reduction and a simulated system")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "systemd")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

find_program(DPKG_DEB dpkg-deb)
if(DPKG_DEB)
  add_test(NAME debian_package COMMAND ${PROJECT_SOURCE_DIR}/cmake/check-package.sh ${PROJECT_BINARY_DIR})
  set_tests_properties(debian_package PROPERTIES LABELS integration TIMEOUT 300)
endif()
