# CPack runs this on the staged files before it builds the package: what Debian's policy asks
# of a package beyond the installed files.

set(doc_dir "${CPACK_TEMPORARY_DIRECTORY}/usr/share/doc/${CPACK_PACKAGE_NAME}")
if(CPACK_DEBIAN_PACKAGE_MAINTAINER)
  set(maintainer "${CPACK_DEBIAN_PACKAGE_MAINTAINER}")
else()
  set(maintainer "${CPACK_PACKAGE_CONTACT}")
endif()

# Manual pages ship gzipped, without a timestamp, so that the package is reproducible.
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_DIRECTORY}/*.[1-9]")
list(FILTER pages INCLUDE REGEX "/man/man[1-9]/[^/]+$")
foreach(page IN LISTS pages)
  execute_process(COMMAND gzip -9 -n -f "${page}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# The changelog in Debian's format, one entry for each released version of CHANGELOG.md: its
# "### Kind" headings become items and its "- change" lines the items under them.
file(STRINGS "${CPACK_POWERCALC_CHANGELOG}" lines)
set(changelog "")
set(entry_end "")
foreach(line IN LISTS lines)
  if(line MATCHES "^## \\[([^]]+)\\] - ([0-9-]+)$")
    execute_process(COMMAND date -u -R -d "${CMAKE_MATCH_2}" OUTPUT_VARIABLE date
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(APPEND changelog "${entry_end}"
           "${CPACK_PACKAGE_NAME} (${CMAKE_MATCH_1}) unstable; urgency=medium\n\n")
    set(entry_end "\n -- ${maintainer}  ${date}\n\n")
  elseif(line MATCHES "^## ")
    set(entry_end "")  # unreleased changes have no entry yet
  elseif(entry_end AND line MATCHES "^### (.+)$")
    string(APPEND changelog "  * ${CMAKE_MATCH_1}:\n")
  elseif(entry_end AND line MATCHES "^- (.+)$")
    string(APPEND changelog "    - ${CMAKE_MATCH_1}\n")
  elseif(entry_end AND line MATCHES "^  (.+)$")
    string(APPEND changelog "      ${CMAKE_MATCH_1}\n")
  endif()
endforeach()
string(STRIP "${changelog}${entry_end}" changelog)
file(WRITE "${doc_dir}/changelog" "${changelog}\n")
execute_process(COMMAND gzip -9 -n -f "${doc_dir}/changelog" COMMAND_ERROR_IS_FATAL ANY)

if(CPACK_POWERCALC_STATIC_PIE)
  file(WRITE "${CPACK_TEMPORARY_DIRECTORY}/usr/share/lintian/overrides/${CPACK_PACKAGE_NAME}" "\
# A static PIE looks to lintian like a shared library without its dependencies. It is an
# executable, linked statically so that it starts without loading any library.
${CPACK_PACKAGE_NAME}: shared-library-lacks-prerequisites [usr/bin/powercalc]
")
endif()
