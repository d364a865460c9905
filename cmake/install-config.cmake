include("${CMAKE_CURRENT_LIST_DIR}/powercalcTargets.cmake")
