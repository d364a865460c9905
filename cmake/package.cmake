# The Debian package: the command, its manual page and documentation (component runtime).

set(CPACK_PACKAGE_VENDOR "the powercalc authors")
# When cpack runs, DEBFULLNAME and DEBEMAIL name the maintainer instead, as they do for Debian's
# own tools (cmake/package-maintainer.cmake).
set(CPACK_PACKAGE_CONTACT "powercalc maintainers <maintainers@powercalc.invalid>")
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/package-maintainer.cmake")
set(CPACK_PACKAGE_DESCRIPTION "\
powercalc asks for a base and an exponent, two 32-bit signed integers, on
standard input and writes one line that states the base raised to the
exponent, computed exactly by linear recursion. Input that is not a number,
lies outside the 32-bit range, or gives a result outside it is refused with
one clear line on standard error and exit status 1.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};runtime;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/debian-files.cmake")
set(CPACK_POWERCALC_CHANGELOG "${PROJECT_SOURCE_DIR}/CHANGELOG.md")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
# Computed from the binary: none for the static release build, the C++ runtime otherwise.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(POWERCALC_STATIC AND POWERCALC_HAVE_STATIC_PIE)
  set(CPACK_POWERCALC_STATIC_PIE ON)
endif()
include(CPack)
