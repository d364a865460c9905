# The curated warning list, for each compiler front end. Whether warnings are errors is the
# build's choice (CMAKE_COMPILE_WARNING_AS_ERROR, set by the presets CI tests with).

add_library(powercalc_warnings INTERFACE)
if(POWERCALC_WARNINGS AND MSVC)  # cl and clang-cl
  target_compile_options(powercalc_warnings INTERFACE /W4 /permissive-)
elseif(POWERCALC_WARNINGS)
  target_compile_options(
    powercalc_warnings
    INTERFACE -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow -Wold-style-cast
              -Wcast-qual -Wnull-dereference -Wdouble-promotion -Wformat=2
              -Wimplicit-fallthrough -Wundef)
endif()
