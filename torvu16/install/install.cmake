# Installation of the library for programs outside this tree: the shared
# object (runtime), and for building against it the header, the link, the
# pkg-config file, the CMake package and the manual page. The components are
# the Debian packages they go into.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Debian keeps libraries in lib/<multiarch>, where pkg-config and CMake look
# below /usr and /usr/local alike; GNUInstallDirs says so only for /usr.
if(CMAKE_LIBRARY_ARCHITECTURE AND CMAKE_INSTALL_LIBDIR STREQUAL "lib")
  set(TORVU16_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE})
else()
  set(TORVU16_LIBDIR ${CMAKE_INSTALL_LIBDIR})
endif()
set(TORVU16_RUNTIME_COMPONENT libtorvu16vc71-1)
set(TORVU16_DEV_COMPONENT libtorvu16-dev)
set(TORVU16_CMAKEDIR ${TORVU16_LIBDIR}/cmake/torvu16)

install(TARGETS torvu16vc71 EXPORT torvu16Targets
        LIBRARY DESTINATION ${TORVU16_LIBDIR}
                COMPONENT ${TORVU16_RUNTIME_COMPONENT}
                NAMELINK_COMPONENT ${TORVU16_DEV_COMPONENT})
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/include/torvu16.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT ${TORVU16_DEV_COMPONENT})

# find_package(torvu16 1.0): the imported target torvu16::torvu16, found for
# any 1.x at least as new as asked.
install(EXPORT torvu16Targets NAMESPACE torvu16:: DESTINATION ${TORVU16_CMAKEDIR}
        COMPONENT ${TORVU16_DEV_COMPONENT})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/torvu16ConfigVersion.cmake
                                 VERSION ${TORVU16_ABI_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/install/torvu16Config.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/torvu16ConfigVersion.cmake
        DESTINATION ${TORVU16_CMAKEDIR} COMPONENT ${TORVU16_DEV_COMPONENT})

# The pkg-config file names absolute directories, so it is made at install
# time, when the prefix is known (CPack installs below /usr).
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(libdir \"\${CMAKE_INSTALL_PREFIX}/${TORVU16_LIBDIR}\")
  set(includedir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_INCLUDEDIR}\")
  set(version \"${TORVU16_ABI_VERSION}\")
  set(pc \"\$ENV{DESTDIR}\${libdir}/pkgconfig/torvu16.pc\")
  message(STATUS \"Installing: \${pc}\")
  configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/install/torvu16.pc.in\" \"\${pc}\" @ONLY)
" COMPONENT ${TORVU16_DEV_COMPONENT})

quorvel_add_man_page(${CMAKE_CURRENT_SOURCE_DIR}/install/torvu16.3.scd
                     COMPONENT ${TORVU16_DEV_COMPONENT})
