# The calculator, its manual page and documentation (component runtime), and the library for
# other projects (component development) with a CMake package and a pkg-config file.

include(CMakePackageConfigHelpers)
# Folders open to all, as Debian's dh_fixperms leaves them, whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS powercalc RUNTIME COMPONENT runtime)
install(FILES "${PROJECT_BINARY_DIR}/man/powercalc.1" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1"
        COMPONENT runtime)

# The licence in Debian's machine-readable copyright format, made from LICENSE so that the two
# cannot disagree.
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" licence_holder "${licence}")
set(licence_holder "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^[^\n]*\n\nCopyright[^\n]*\n\n" "" licence_text "${licence}")
string(STRIP "${licence_text}" licence_text)
string(REPLACE "\n\n" "\n.\n" licence_text "${licence_text}")
string(REPLACE "\n" "\n " licence_text " ${licence_text}")
file(CONFIGURE OUTPUT copyright @ONLY CONTENT "\
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: @PROJECT_NAME@

Files: *
Copyright: @licence_holder@
License: Expat
@licence_text@
")
install(FILES README.md LICENSE "${PROJECT_BINARY_DIR}/copyright" DESTINATION "${CMAKE_INSTALL_DOCDIR}"
        COMPONENT runtime)

install(TARGETS powercalc_power EXPORT powercalcTargets ARCHIVE COMPONENT development)
install(FILES src/powercalc/power.hpp DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/powercalc"
        COMPONENT development)

set(package_dir "${CMAKE_INSTALL_LIBDIR}/cmake/powercalc")
install(EXPORT powercalcTargets NAMESPACE powercalc:: DESTINATION "${package_dir}"
        COMPONENT development)
write_basic_package_version_file(powercalcConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES cmake/install-config.cmake DESTINATION "${package_dir}"
        RENAME powercalcConfig.cmake COMPONENT development)
install(FILES "${PROJECT_BINARY_DIR}/powercalcConfigVersion.cmake" DESTINATION "${package_dir}"
        COMPONENT development)

# Written as it is installed, with the prefix installed into: plain paths, which pkg-config leaves
# out where they are the system's; a tree moved after that is found with --define-prefix.
install(CODE "set(CMAKE_INSTALL_INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
              set(CMAKE_INSTALL_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
              set(PROJECT_VERSION \"${PROJECT_VERSION}\")
              configure_file(\"${PROJECT_SOURCE_DIR}/cmake/powercalc.pc.in\"
                             \"${PROJECT_BINARY_DIR}/powercalc.pc\" @ONLY)"
        COMPONENT development)
install(FILES "${PROJECT_BINARY_DIR}/powercalc.pc" DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig"
        COMPONENT development)
