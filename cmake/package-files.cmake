# CPack runs this on the staged files before it builds a distribution package: what Debian's and
# Fedora's rules ask of a package beyond the installed files.

if(NOT CPACK_GENERATOR MATCHES "^(DEB|RPM)$")
  return()
endif()

# What each distribution's tools do to a binary they package: Debian's dh_strip and Fedora's
# brp-strip-comment-note drop the compilers' notes, which the C start files carry too.
set(doc "${CPACK_TEMPORARY_DIRECTORY}/usr/share/doc/${CPACK_PACKAGE_NAME}")
execute_process(COMMAND "${CPACK_POWERCALC_OBJCOPY}" --remove-section=.comment
                        "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/${CPACK_PACKAGE_NAME}" COMMAND_ERROR_IS_FATAL ANY)

# The licence: Debian's copyright file holds its text, and Fedora's place for it is its own.
# Debian's changelog was written by package-config.cmake.
set(gzipped "${CPACK_TEMPORARY_DIRECTORY}/usr/share/man/man1/${CPACK_PACKAGE_NAME}.1")
if(CPACK_GENERATOR STREQUAL "DEB")
  file(REMOVE "${doc}/LICENSE")
  file(COPY_FILE "${CPACK_POWERCALC_WORK_DIR}/changelog.Debian" "${doc}/changelog")
  file(CHMOD "${doc}/changelog" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  list(APPEND gzipped "${doc}/changelog")
else()
  file(REMOVE "${doc}/copyright")
  file(MAKE_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}/usr/share/licenses/${CPACK_PACKAGE_NAME}")
  file(RENAME "${doc}/LICENSE" "${CPACK_TEMPORARY_DIRECTORY}/usr/share/licenses/${CPACK_PACKAGE_NAME}/LICENSE")
endif()

# Gzipped without a name or time, open to all as dh_fixperms leaves files whatever the builder's
# umask, and every file dated at the source's time, not at its checkout's or the build's: rpmbuild
# only clamps later times.
execute_process(COMMAND gzip -9 -n -f ${gzipped} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND chmod -R u=rwX,go=rX "${CPACK_TEMPORARY_DIRECTORY}" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND find "${CPACK_TEMPORARY_DIRECTORY}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
                COMMAND_ERROR_IS_FATAL ANY)
