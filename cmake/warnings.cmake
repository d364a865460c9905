# The curated warning list, for each compiler front end. Whether warnings are errors is the
# build's choice (CMAKE_COMPILE_WARNING_AS_ERROR, set by the development presets).

add_library(powercalc_warnings INTERFACE)

if(NOT POWERCALC_WARNINGS)
  return()
endif()

if(CMAKE_CXX_COMPILER_FRONTEND_VARIANT STREQUAL "MSVC")
  target_compile_options(powercalc_warnings INTERFACE /W4 /permissive-)
else()
  target_compile_options(
    powercalc_warnings
    INTERFACE -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow -Wold-style-cast
              -Wcast-qual -Wnull-dereference -Wdouble-promotion -Wformat=2
              -Wimplicit-fallthrough -Wundef)
endif()
