# The same bytes from every build of a commit, wherever and whenever it is built: time stamps come
# from one time, and build paths are kept out of the binaries.
#
# powercalc_source_date_epoch          the time every time stamp is taken from
# powercalc_format_source_date(<variable> <format>)   that time, formatted as string(TIMESTAMP) does
# powercalc_reproducible               compile and link flags for what we ship

# SOURCE_DATE_EPOCH as the caller set it; otherwise the commit's time, which `git archive` writes
# into source-date-epoch (see .gitattributes) and a clone has from git.
function(powercalc_find_source_date_epoch)
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
  set(powercalc_source_date_epoch "${epoch}" PARENT_SCOPE)
endfunction()
powercalc_find_source_date_epoch()

# string(TIMESTAMP) reads the time from the environment, where the caller's own stays as it is and
# ours is only for the moment, so that a project that takes powercalc in sees none it did not set.
function(powercalc_format_source_date result format)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    string(TIMESTAMP date "${format}" UTC)
  else()
    set(ENV{SOURCE_DATE_EPOCH} "${powercalc_source_date_epoch}")
    string(TIMESTAMP date "${format}" UTC)
    unset(ENV{SOURCE_DATE_EPOCH})
  endif()
  set(${result} "${date}" PARENT_SCOPE)
endfunction()

include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)

add_library(powercalc_reproducible INTERFACE)

# The source folder would otherwise show in assertion messages and debug information.
check_cxx_compiler_flag(-ffile-prefix-map=a=b POWERCALC_HAS_FILE_PREFIX_MAP)
if(POWERCALC_HAS_FILE_PREFIX_MAP)
  target_compile_options(powercalc_reproducible INTERFACE "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.")
endif()

# GNU ld writes the link time into a Windows executable's header.
if(WIN32 AND NOT CMAKE_CXX_COMPILER_FRONTEND_VARIANT STREQUAL "MSVC")
  check_linker_flag(CXX LINKER:--no-insert-timestamp POWERCALC_LINKS_WITHOUT_TIMESTAMP)
  if(POWERCALC_LINKS_WITHOUT_TIMESTAMP)
    target_link_options(powercalc_reproducible INTERFACE LINKER:--no-insert-timestamp)
  endif()
endif()
