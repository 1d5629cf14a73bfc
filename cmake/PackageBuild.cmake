# Read by cpack before it installs the build for a package: builds the
# programs the package holds, and nothing else, in parallel.
cmake_host_system_information(RESULT jobs QUERY NUMBER_OF_LOGICAL_CORES)
string(REPLACE ";" " " names "${CPACK_TQB_PROGRAMS}")
message(STATUS "CPack: building ${names} (${jobs} jobs)")
execute_process(COMMAND "${CPACK_TQB_CMAKE}" --build "${CPACK_TQB_BUILD_DIR}" --parallel ${jobs}
                        --target ${CPACK_TQB_PROGRAMS}
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "CPack: building ${names} failed")
endif()
