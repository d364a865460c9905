# CPack runs this on each package it has built, so that its bytes depend on nothing of the
# machine, user or umask that built it.

# The members of a .deb (an ar archive) carry the file modes the build's umask gave them; they are
# set to 644, as dpkg-deb sets them.
function(powercalc_normalise_deb package)
  set(header_at 8)  # after "!<arch>\n"
  file(SIZE "${package}" package_size)
  while(header_at LESS package_size)
    # A member's 60-byte header: name, date, owner, group, mode (8 bytes at 40), size (10 at 48).
    math(EXPR mode_at "${header_at} + 40")
    math(EXPR size_at "${header_at} + 48")
    file(READ "${package}" size OFFSET ${size_at} LIMIT 10)
    execute_process(COMMAND sh -c "printf '100644  ' | dd of=\"$0\" bs=1 seek=$1 conv=notrunc status=none"
                            "${package}" ${mode_at} COMMAND_ERROR_IS_FATAL ANY)
    string(STRIP "${size}" size)
    math(EXPR header_at "${header_at} + 60 + ${size} + ${size} % 2")
  endwhile()
endfunction()

# CPack before CMake 4.3 gives an archive's entries the builder's owner and the order in which the
# folder lists them. A .tar.gz is written again by GNU tar and gzip, whose output depends on neither;
# a .zip by normalise-zip.py.
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
  # Modes as an open umask gives them: the folder that unpacking made took the builder's umask.
  execute_process(COMMAND tar --sort=name --owner=0 --group=0 --numeric-owner --format=gnu
                          --mode=u+rwX,go=rX "--mtime=@$ENV{SOURCE_DATE_EPOCH}" -C "${unpacked}"
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
  if(package MATCHES "\\.deb$")
    powercalc_normalise_deb("${package}")
  elseif(package MATCHES "\\.tar\\.gz$")
    powercalc_normalise_tar("${package}")
  elseif(package MATCHES "\\.zip$")
    powercalc_normalise_zip("${package}")
  endif()
endforeach()
