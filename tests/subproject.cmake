# Builds the parent project, which takes powercalc in by METHOD, installs it, and checks that
# only the library is built, without a run of git, and that only the parent's own program and
# tests come out, and no package settings of powercalc's.
# Expects METHOD, SOURCE_DIR, WORK_DIR, GENERATOR, CXX, BUILD_TYPE, CXX_FLAGS, LINKER_FLAGS and
# EXECUTABLE_SUFFIX.

file(REMOVE_RECURSE "${WORK_DIR}")
set(build "${WORK_DIR}/build")
unset(ENV{SOURCE_DATE_EPOCH})  # the parent checks that it has none of powercalc's
# A git that leaves a mark: powercalc's configure must not run it.
file(CONFIGURE OUTPUT "${WORK_DIR}/git" CONTENT "#!/bin/sh\ntouch \"$0.ran\"\n")
file(CHMOD "${WORK_DIR}/git" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
execute_process(
  COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}/tests/parent" -B "${build}" -G "${GENERATOR}"
          "-DMETHOD=${METHOD}" "-DPOWERCALC_SOURCE_DIR=${SOURCE_DIR}" "-DCMAKE_CXX_COMPILER=${CXX}"
          "-DGIT_EXECUTABLE=${WORK_DIR}/git" -DPOWERCALC_PACKAGE=ON  # which needs the install rules
          "-DCMAKE_BUILD_TYPE=${BUILD_TYPE}" "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
          "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}"
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${build}" --config "${BUILD_TYPE}" OUTPUT_QUIET
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${build}" --config "${BUILD_TYPE}"
                        --prefix "${WORK_DIR}/prefix" OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

if(EXISTS "${WORK_DIR}/git.ran")
  message(FATAL_ERROR "configuring the parent ran git")
endif()
file(GLOB_RECURSE calculator "${build}/*/powercalc${EXECUTABLE_SUFFIX}" "${build}/*/powercalc.1")
if(calculator)
  message(FATAL_ERROR "the parent built what it did not ask for: ${calculator}")
endif()

file(GLOB_RECURSE installed RELATIVE "${WORK_DIR}/prefix" "${WORK_DIR}/prefix/*")
if(NOT installed STREQUAL "bin/parent${EXECUTABLE_SUFFIX}")
  message(FATAL_ERROR "the parent installed ${installed}, expected only its own program")
endif()

execute_process(COMMAND "${CMAKE_CTEST_COMMAND}" -N WORKING_DIRECTORY "${build}"
                OUTPUT_VARIABLE tests COMMAND_ERROR_IS_FATAL ANY)
if(NOT tests MATCHES "Test +#1: parent\\.runs\n\nTotal Tests: 1\n")
  message(FATAL_ERROR "the parent's tests are not only its own:\n${tests}")
endif()

# CPack writes its configuration at the top of the build, where it would take the parent's place.
if(EXISTS "${build}/CPackConfig.cmake")
  message(FATAL_ERROR "powercalc's package settings took the parent's place")
endif()
