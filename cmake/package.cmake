# What cpack makes, each with a .sha256: with POWERCALC_STATIC, the standalone archive; otherwise,
# on Linux, the .deb and .rpm, linked dynamically as both distributions require.

set(CPACK_PACKAGE_VENDOR "the powercalc authors")
set(CPACK_PACKAGE_CONTACT "powercalc maintainers <maintainers@powercalc.invalid>")
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/package-config.cmake")
set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/package-files.cmake")
set(CPACK_POST_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/package-normalise.cmake")
set(CPACK_PACKAGE_DESCRIPTION "\
powercalc asks for a base and an exponent, two 32-bit signed integers, on
standard input and writes one line that states the base raised to the
exponent, computed exactly by linear recursion. Input that is not a number,
lies outside the 32-bit range, or gives a result outside it is refused with
one clear line on standard error and exit status 1.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
set(CPACK_POWERCALC_CHANGELOG "${PROJECT_SOURCE_DIR}/CHANGELOG.md")
# A released version's heading in CHANGELOG.md; the newest names the version released last.
set(CPACK_POWERCALC_RELEASE_HEADING "^## [[]([^]]+)[]] - ([0-9]+-[0-9]+-[0-9]+)$")
file(STRINGS "${CPACK_POWERCALC_CHANGELOG}" released REGEX "${CPACK_POWERCALC_RELEASE_HEADING}"
     LIMIT_COUNT 1)
string(REGEX REPLACE "${CPACK_POWERCALC_RELEASE_HEADING}" "\\1" powercalc_released_version
                     "${released}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CPACK_POWERCALC_CHANGELOG}")
# For the scripts that check and name what cpack makes (tests/package, .ci/release).
file(WRITE "${PROJECT_BINARY_DIR}/version.txt" "${PROJECT_VERSION}\n")
set(CPACK_POWERCALC_WORK_DIR "${PROJECT_BINARY_DIR}/package-files")
set(CPACK_POWERCALC_BINARY_DIR "${PROJECT_BINARY_DIR}")
set(CPACK_POWERCALC_OBJCOPY "${CMAKE_OBJCOPY}")
set(CPACK_POWERCALC_SOURCE_DATE_EPOCH "${powercalc_source_date_epoch}")

string(TOLOWER "${CMAKE_SYSTEM_NAME}" system)
string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" processor)
string(REGEX REPLACE "^(amd64|x64)$" "x86_64" processor "${processor}")
string(REGEX REPLACE "^arm64$" "aarch64" processor "${processor}")
set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-${system}-${processor}")

# One folder: the calculator, its manual page where man is at home, and the documents.
install(TARGETS powercalc RUNTIME DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL)
if(NOT WIN32)
  install(FILES "${PROJECT_BINARY_DIR}/man/powercalc.1" DESTINATION . COMPONENT archive
          EXCLUDE_FROM_ALL)
endif()
install(FILES README.md LICENSE CHANGELOG.md DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # computed from the binary by dpkg-shlibdeps

set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_RELEASE 1)
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_PACKAGE_RELOCATABLE OFF)
set(CPACK_RPM_PACKAGE_GROUP Applications/Engineering)
set(CPACK_RPM_USER_FILELIST "%license /usr/share/licenses/powercalc/LICENSE")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RPM_PACKAGE_AUTOREQPROV ON)  # Requires computed by rpm from the binary
# The filesystem package owns these.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/man /usr/share/man/man1
                                                  /usr/share/licenses)

if(POWERCALC_STATIC AND WIN32)
  set(powercalc_package_generators ZIP)
elseif(NOT POWERCALC_STATIC AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  # Each package whose tools are here; for one that is not, configure names what brings them.
  find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
  find_program(FILE_COMMAND file)
  find_program(RPMBUILD rpmbuild)
  set(powercalc_package_generators "")
  if(DPKG_SHLIBDEPS AND FILE_COMMAND)
    list(APPEND powercalc_package_generators DEB)
  else()
    message(STATUS "No .deb: it needs dpkg-shlibdeps and file (Debian: apt-get install dpkg-dev file)")
  endif()
  if(RPMBUILD)
    list(APPEND powercalc_package_generators RPM)
  else()
    message(STATUS "No .rpm: it needs rpmbuild (Debian: apt-get install rpm)")
  endif()
else()
  set(powercalc_package_generators TGZ)
endif()
set(CPACK_GENERATOR ${powercalc_package_generators})  # include(CPack) leaves another list here

include(CPack)
