# Read by cpack when it runs, once for each generator.

# The time stamps of every file in the package, and the package's own, are those of the source.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_POWERCALC_SOURCE_DATE_EPOCH}")
endif()

# The archive holds its own layout; the distribution packages, the installed tree.
if(CPACK_GENERATOR MATCHES "^(DEB|RPM)$")
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_POWERCALC_BINARY_DIR};powercalc;runtime;/")
else()
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_POWERCALC_BINARY_DIR};powercalc;archive;/")
endif()

# The maintainer from DEBFULLNAME and DEBEMAIL, or DEBEMAIL="Name <address>", as Debian's tools.
if(DEFINED ENV{DEBEMAIL} AND "$ENV{DEBEMAIL}" MATCHES "<")
  set(maintainer "$ENV{DEBEMAIL}")
elseif(DEFINED ENV{DEBEMAIL} AND DEFINED ENV{DEBFULLNAME})
  set(maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
  set(maintainer "${CPACK_PACKAGE_CONTACT}")
endif()
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${maintainer}")

# Each released version of CHANGELOG.md as an entry of a `style` (deb or rpm) changelog: its
# "### Kind" headings become items and its "- change" lines the items under them.
function(powercalc_changelog style result)
  file(STRINGS "${CPACK_POWERCALC_CHANGELOG}" lines)
  set(changelog "")
  set(entry_end "")
  set(in_release FALSE)
  set(newer_entries 0)
  foreach(line IN LISTS lines)
    if(line MATCHES "${CPACK_POWERCALC_RELEASE_HEADING}")
      set(version "${CMAKE_MATCH_1}")
      set(in_release TRUE)
      if(style STREQUAL "deb")
        # At noon, each older entry a second earlier: Debian wants each entry later than the
        # one before it, releases of one day included.
        execute_process(COMMAND env LC_ALL=C date -u -R -d "${CMAKE_MATCH_2} 12:00 UTC ${newer_entries} seconds ago"
                        OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        math(EXPR newer_entries "${newer_entries} + 1")
        string(APPEND changelog "${entry_end}"
               "${CPACK_PACKAGE_NAME} (${version}) unstable; urgency=medium\n\n")
        set(entry_end "\n -- ${maintainer}  ${date}\n\n")
      else()
        execute_process(COMMAND env LC_ALL=C date -u "+%a %b %d %Y" -d "${CMAKE_MATCH_2}"
                        OUTPUT_VARIABLE date
                        OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        string(APPEND changelog "${entry_end}"
               "* ${date} ${maintainer} - ${version}-${CPACK_RPM_PACKAGE_RELEASE}\n")
        set(entry_end "\n")
      endif()
    elseif(line MATCHES "^## ")
      set(in_release FALSE)
    elseif(in_release AND line MATCHES "^### (.+)$")
      string(APPEND changelog "  * ${CMAKE_MATCH_1}:\n")
    elseif(in_release AND line MATCHES "^- (.+)$")
      string(APPEND changelog "    - ${CMAKE_MATCH_1}\n")
    elseif(in_release AND line MATCHES "^  (.+)$")
      string(APPEND changelog "      ${CMAKE_MATCH_1}\n")
    endif()
  endforeach()
  if(style STREQUAL "deb")
    string(APPEND changelog "${entry_end}")
  endif()
  string(STRIP "${changelog}" changelog)
  set(${result} "${changelog}\n" PARENT_SCOPE)
endfunction()

if(CPACK_GENERATOR STREQUAL "DEB")
  powercalc_changelog(deb changelog)
  file(WRITE "${CPACK_POWERCALC_WORK_DIR}/changelog.Debian" "${changelog}")
elseif(CPACK_GENERATOR STREQUAL "RPM")
  powercalc_changelog(rpm changelog)
  file(WRITE "${CPACK_POWERCALC_WORK_DIR}/changelog.rpm" "${changelog}")
  set(CPACK_RPM_CHANGELOG_FILE "${CPACK_POWERCALC_WORK_DIR}/changelog.rpm")
  # The same bytes from every build: rpmbuild's own time stamps and host name are fixed too.
  set(CPACK_RPM_SPEC_MORE_DEFINE "\
%define packager ${maintainer}
%define use_source_date_epoch_as_buildtime 1
%define clamp_mtime_to_source_date_epoch 1
%define _buildhost reproducible")
endif()
