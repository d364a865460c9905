# Installs the build tree into a fresh prefix, checks the layout, then configures, builds and runs
# the consumer project against it with the compiler and flags of this build.
# Expects BUILD_DIR, SOURCE_DIR, WORK_DIR, GENERATOR, CXX, BUILD_TYPE, CXX_FLAGS, LINKER_FLAGS.

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

foreach(expected IN ITEMS bin/powercalc include/powercalc/power.hpp share/man/man1/powercalc.1
                          share/doc/powercalc/README.md share/doc/powercalc/LICENSE)
  if(NOT EXISTS "${prefix}/${expected}")
    message(FATAL_ERROR "not installed: ${expected}")
  endif()
endforeach()
file(GLOB_RECURSE package_files "${prefix}/*/powercalcConfig*.cmake" "${prefix}/*/libpowercalc.a")
list(LENGTH package_files found)
if(NOT found EQUAL 3)
  message(FATAL_ERROR "expected the library, its config and version file, found: ${package_files}")
endif()

execute_process(
  COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}/tests/consumer" -B "${WORK_DIR}/build"
          -G "${GENERATOR}" "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX}"
          "-DCMAKE_BUILD_TYPE=${BUILD_TYPE}" "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
          "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}"
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK_DIR}/build" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${WORK_DIR}/build/consumer" COMMAND_ERROR_IS_FATAL ANY)
