# The same bytes from every build of a commit, wherever and whenever it is built: every file's time
# is powercalc_source_date_epoch, and powercalc_reproducible keeps build paths out of the binaries.

# Sets powercalc_source_date_epoch to the caller's SOURCE_DATE_EPOCH, else to the commit's time,
# git archive's (.gitattributes) or git's, and `result` to that time in `format`. Called only where
# a date is stamped, so that a parent project's configure runs no git for us.
function(powercalc_source_date result format)
  file(STRINGS "${PROJECT_SOURCE_DIR}/cmake/source-date-epoch" archived LIMIT_COUNT 1)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  elseif(archived MATCHES "^[0-9]+$")
    set(epoch "${archived}")
  else()
    find_package(Git QUIET)
    execute_process(COMMAND "${GIT_EXECUTABLE}" log -1 --format=%ct
                    WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}" OUTPUT_VARIABLE epoch
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    string(TIMESTAMP epoch "%s" UTC)
    message(STATUS "No commit time in this source tree: its builds are dated now, not reproducibly")
  endif()
  # string(TIMESTAMP) reads the time from the environment: ours is there only for the moment.
  set(callers "$ENV{SOURCE_DATE_EPOCH}")
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
  string(TIMESTAMP date "${format}" UTC)
  if(NOT callers STREQUAL epoch)
    unset(ENV{SOURCE_DATE_EPOCH})
  endif()
  set(${result} "${date}" PARENT_SCOPE)
  set(powercalc_source_date_epoch "${epoch}" PARENT_SCOPE)
endfunction()

add_library(powercalc_reproducible INTERFACE)

# The source folder would otherwise show in assertion messages and debug information.
check_cxx_compiler_flag(-ffile-prefix-map=a=b POWERCALC_HAS_FILE_PREFIX_MAP)
if(POWERCALC_HAS_FILE_PREFIX_MAP)
  target_compile_options(powercalc_reproducible INTERFACE "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.")
endif()

# GNU ld writes the link time into a Windows executable's header.
if(WIN32 AND NOT MSVC)
  check_linker_flag(CXX LINKER:--no-insert-timestamp POWERCALC_LINKS_WITHOUT_TIMESTAMP)
  if(POWERCALC_LINKS_WITHOUT_TIMESTAMP)
    target_link_options(powercalc_reproducible INTERFACE LINKER:--no-insert-timestamp)
  endif()
endif()
