# CPack runs this on the staged files before it builds a distribution package: what Debian's and
# Fedora's rules ask of a package beyond the installed files.

if(NOT CPACK_GENERATOR MATCHES "^(DEB|RPM)$")
  return()
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
  set(changelog "${CPACK_TEMPORARY_DIRECTORY}/usr/share/doc/${CPACK_PACKAGE_NAME}/changelog")
  file(COPY_FILE "${CPACK_POWERCALC_WORK_DIR}/changelog.Debian" "${changelog}")
  file(CHMOD "${changelog}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  execute_process(COMMAND gzip -9 -n -f "${changelog}" COMMAND_ERROR_IS_FATAL ANY)
endif()
