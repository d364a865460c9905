# Installs the build tree into a fresh prefix and checks the layout, then builds and runs the
# consumer against it with the compiler and flags of this build: as a CMake project, and with
# pkg-config where it is installed.
# Expects BUILD_DIR, SOURCE_DIR, WORK_DIR, GENERATOR, CXX, BUILD_TYPE (the configuration),
# CXX_FLAGS, LINKER_FLAGS, EXECUTABLE_SUFFIX, LIBRARY (its file name), PKG_CONFIG (empty where
# there is none) and VERSION.

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --config "${BUILD_TYPE}"
                        --prefix "${prefix}" OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

foreach(expected IN ITEMS bin/powercalc${EXECUTABLE_SUFFIX} include/powercalc/power.hpp
                          share/man/man1/powercalc.1 share/doc/powercalc/README.md
                          share/doc/powercalc/copyright)
  if(NOT EXISTS "${prefix}/${expected}")
    message(FATAL_ERROR "not installed: ${expected}")
  endif()
endforeach()
file(GLOB_RECURSE package_files "${prefix}/*/powercalcConfig*.cmake" "${prefix}/*/${LIBRARY}"
     "${prefix}/*/pkgconfig/powercalc.pc")
list(LENGTH package_files found)
if(NOT found EQUAL 4)
  message(FATAL_ERROR "expected the library, its CMake config, version and pkg-config files, "
                      "found: ${package_files}")
endif()

execute_process(
  COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}/tests/consumer" -B "${WORK_DIR}/build"
          -G "${GENERATOR}" "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX}"
          "-DCMAKE_BUILD_TYPE=${BUILD_TYPE}" "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
          "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}"
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK_DIR}/build" --config "${BUILD_TYPE}"
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${CMAKE_CTEST_COMMAND}" -C "${BUILD_TYPE}" --output-on-failure
                WORKING_DIRECTORY "${WORK_DIR}/build" COMMAND_ERROR_IS_FATAL ANY)

# The installed calculator runs from its prefix, needing nothing from the build.
file(WRITE "${WORK_DIR}/question" "3 4\n")
execute_process(COMMAND "${prefix}/bin/powercalc${EXECUTABLE_SUFFIX}" INPUT_FILE "${WORK_DIR}/question"
                OUTPUT_VARIABLE answer COMMAND_ERROR_IS_FATAL ANY)
if(NOT answer MATCHES "\n3 raised to the power of 4 is 81\r?\n$")
  message(FATAL_ERROR "the installed calculator answered: ${answer}")
endif()

if(NOT PKG_CONFIG)
  return()
endif()
set(pc_file ${package_files})
list(FILTER pc_file INCLUDE REGEX "\\.pc$")
cmake_path(GET pc_file PARENT_PATH pc_dir)
set(ENV{PKG_CONFIG_PATH} "${pc_dir}")
execute_process(COMMAND "${PKG_CONFIG}" --modversion powercalc OUTPUT_VARIABLE pc_version
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
if(NOT pc_version STREQUAL VERSION)
  message(FATAL_ERROR "pkg-config says version ${pc_version}, the project ${VERSION}")
endif()
# Plain paths into the prefix installed into; and once the tree is moved, into where it lies.
execute_process(COMMAND "${PKG_CONFIG}" --cflags powercalc OUTPUT_VARIABLE pc_flags
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
if(NOT pc_flags STREQUAL "-I${prefix}/include")
  message(FATAL_ERROR "pkg-config gives ${pc_flags} for the headers in ${prefix}/include")
endif()
file(RENAME "${prefix}" "${WORK_DIR}/moved")
string(REPLACE "${prefix}" "${WORK_DIR}/moved" pc_dir "${pc_dir}")
set(ENV{PKG_CONFIG_PATH} "${pc_dir}")
execute_process(COMMAND "${PKG_CONFIG}" --define-prefix --cflags --libs powercalc
                OUTPUT_VARIABLE pc_flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(flags UNIX_COMMAND "${CXX_FLAGS} ${LINKER_FLAGS}")
execute_process(COMMAND "${CXX}" -std=c++17 ${flags} "${SOURCE_DIR}/tests/consumer/consumer.cpp"
                        ${pc_flags} -o "${WORK_DIR}/pkg-config-consumer" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${WORK_DIR}/pkg-config-consumer" COMMAND_ERROR_IS_FATAL ANY)
