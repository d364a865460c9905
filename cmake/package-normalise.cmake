# CPack runs this on each package it has built. The members of a .deb (an ar archive) carry the
# file modes the build's umask gave them; they are set to 644 here, as dpkg-deb sets them, so that
# the package's bytes do not depend on the umask.

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
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
endforeach()
