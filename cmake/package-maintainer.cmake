# Read by cpack when it runs: the maintainer comes from DEBFULLNAME and DEBEMAIL where they are
# set, as for Debian's own tools. DEBEMAIL may also hold the whole "Name <address>".
if(DEFINED ENV{DEBEMAIL} AND "$ENV{DEBEMAIL}" MATCHES "<")
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "$ENV{DEBEMAIL}")
elseif(DEFINED ENV{DEBEMAIL} AND DEFINED ENV{DEBFULLNAME})
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
endif()
