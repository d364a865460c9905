# The same bytes from every build of a commit, wherever and whenever it is built: time stamps come
# from SOURCE_DATE_EPOCH, and build paths are kept out of the binaries.
#
# powercalc_reproducible                    compile and link flags for what we ship
# powercalc_source_date_epoch(<variable>)   the time every time stamp is taken from

# SOURCE_DATE_EPOCH as the caller set it; otherwise the time of the last commit; in a source tree
# without git, the date of the newest release in CHANGELOG.md.
function(powercalc_source_date_epoch result)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(${result} "$ENV{SOURCE_DATE_EPOCH}" PARENT_SCOPE)
    return()
  endif()
  find_package(Git QUIET)
  if(GIT_FOUND AND EXISTS "${PROJECT_SOURCE_DIR}/.git")
    execute_process(COMMAND "${GIT_EXECUTABLE}" log -1 --format=%ct
                    WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}" OUTPUT_VARIABLE epoch
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
    if(NOT failed AND epoch MATCHES "^[0-9]+$")
      set(${result} "${epoch}" PARENT_SCOPE)
      return()
    endif()
  endif()
  file(STRINGS "${PROJECT_SOURCE_DIR}/CHANGELOG.md" released REGEX "^## \\[[^]]+\\] - [0-9-]+$"
       LIMIT_COUNT 1)
  string(REGEX MATCH "[0-9]+-[0-9]+-[0-9]+$" date "${released}")
  # Days since 1970 by the civil-from-days algorithm, since CMake has no date arithmetic.
  string(REPLACE "-" ";" date "${date}")
  list(GET date 0 year)
  list(GET date 1 month)
  list(GET date 2 day)
  if(month LESS_EQUAL 2)  # the year counted from March, so that February's length comes last
    math(EXPR year "${year} - 1")
    math(EXPR month "${month} + 9")
  else()
    math(EXPR month "${month} - 3")
  endif()
  math(EXPR era "${year} / 400")
  math(EXPR year_of_era "${year} - ${era} * 400")
  math(EXPR day_of_year "(153 * ${month} + 2) / 5 + ${day} - 1")
  math(EXPR day_of_era "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
  math(EXPR epoch "(${era} * 146097 + ${day_of_era} - 719468) * 86400")
  set(${result} "${epoch}" PARENT_SCOPE)
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
