# Compiles the program's resource script, as CMake made it with the project's version, with the
# cross resource compiler, and checks that the manifest asking for administrator rights is in.
execute_process(COMMAND ${WINDRES} ${RC_FILE} -O coff -o ${OUTPUT}
                RESULT_VARIABLE result
                OUTPUT_VARIABLE output
                ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "windres failed (${result}):\n${output}")
endif()
file(STRINGS ${OUTPUT} admin REGEX "requireAdministrator")
if(NOT admin)
    message(FATAL_ERROR "the compiled resources hold no manifest with requireAdministrator")
endif()
message(STATUS "resources compiled: ${OUTPUT}")
