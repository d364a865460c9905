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
if(CPACK_GENERATOR STREQUAL "DEB")
  file(REMOVE "${doc}/LICENSE")
else()
  file(REMOVE "${doc}/copyright")
  file(MAKE_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}/usr/share/licenses/${CPACK_PACKAGE_NAME}")
  file(RENAME "${doc}/LICENSE" "${CPACK_TEMPORARY_DIRECTORY}/usr/share/licenses/${CPACK_PACKAGE_NAME}/LICENSE")
endif()

# Folders are open to all, whatever the umask of the build that staged them.
file(GLOB_RECURSE folders LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(folder IN LISTS folders)
  if(IS_DIRECTORY "${folder}")
    file(CHMOD "${folder}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                       GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()

# Manual pages ship gzipped, without a timestamp, so that the package is reproducible.
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_DIRECTORY}/*.[1-9]")
list(FILTER pages INCLUDE REGEX "/man/man[1-9]/[^/]+$")
foreach(page IN LISTS pages)
  execute_process(COMMAND gzip -9 -n -f "${page}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# Every file dated at the source's time, not at its checkout's: rpmbuild only clamps later times.
execute_process(COMMAND find "${CPACK_TEMPORARY_DIRECTORY}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
                COMMAND_ERROR_IS_FATAL ANY)

# Debian's changelog, written by package-config.cmake.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(changelog "${doc}/changelog")
  file(COPY_FILE "${CPACK_POWERCALC_WORK_DIR}/changelog.Debian" "${changelog}")
  file(CHMOD "${changelog}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  execute_process(COMMAND gzip -9 -n -f "${changelog}" COMMAND_ERROR_IS_FATAL ANY)
endif()
