# CPack runs this on each archive it has built. CPack before CMake 4.3 gives an archive's entries
# the builder's owner and the order in which the folder lists them: a .tar.gz is written again by
# GNU tar and gzip, with the modes an open umask gives, and a .zip by normalise-zip.py, whose
# output depends on neither.
function(powercalc_normalise_tar package)
  execute_process(COMMAND tar --version OUTPUT_VARIABLE tar_version ERROR_QUIET)
  if(NOT tar_version MATCHES "GNU tar")
    message(WARNING "No GNU tar: ${package} keeps its builder's owner and order of files.")
    return()
  endif()
  set(unpacked "${package}.unpacked")
  file(REMOVE_RECURSE "${unpacked}")
  file(MAKE_DIRECTORY "${unpacked}")
  execute_process(COMMAND tar -xpf "${package}" -C "${unpacked}" COMMAND_ERROR_IS_FATAL ANY)
  file(GLOB top RELATIVE "${unpacked}" "${unpacked}/*")
  execute_process(COMMAND tar --sort=name --owner=0 --group=0 --numeric-owner --format=gnu
                          --mode=u=rwX,go=rX "--mtime=@$ENV{SOURCE_DATE_EPOCH}" -C "${unpacked}"
                          -cf - ${top}
                  COMMAND gzip -9 -n OUTPUT_FILE "${package}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${unpacked}")
endfunction()

function(powercalc_normalise_zip package)
  find_program(PYTHON3 python3)
  if(NOT PYTHON3)
    message(WARNING "No python3: ${package} keeps its builder's order of files and dates.")
    return()
  endif()
  execute_process(COMMAND "${PYTHON3}" "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/normalise-zip.py"
                          "${package}" "$ENV{SOURCE_DATE_EPOCH}" COMMAND_ERROR_IS_FATAL ANY)
endfunction()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.tar\\.gz$")
    powercalc_normalise_tar("${package}")
  elseif(package MATCHES "\\.zip$")
    powercalc_normalise_zip("${package}")
  endif()
endforeach()
