# A program folder with an edited STCUSA.TBL, a symbolic link as STCUK.TBL, no
# STCSP.TBL and an old ASSOC1.BIN; the generated folder holds new files.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/from" "${WORK}/to")
foreach(name ASSOC1.BIN STCUSA.TBL STCUK.TBL STCSP.TBL)
    file(WRITE "${WORK}/from/${name}" "generated ${name}")
endforeach()
file(WRITE "${WORK}/to/ASSOC1.BIN" "old")
file(WRITE "${WORK}/to/STCUSA.TBL" "the user's records")
file(WRITE "${WORK}/elsewhere.TBL" "linked")
file(CREATE_LINK "${WORK}/elsewhere.TBL" "${WORK}/to/STCUK.TBL" SYMBOLIC)

execute_process(
    COMMAND "${CMAKE_COMMAND}" -DFROM=${WORK}/from -DTO=${WORK}/to -DFILES=ASSOC1.BIN
            "-DUSER_FILES=STCUSA.TBL|STCUK.TBL|STCSP.TBL" -P "${SCRIPT}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "installdata.cmake failed: ${result}")
endif()

function(expect file text)
    file(READ "${file}" got)
    if(NOT got STREQUAL text)
        message(FATAL_ERROR "${file}: expected \"${text}\", found \"${got}\"")
    endif()
endfunction()
expect("${WORK}/to/ASSOC1.BIN" "generated ASSOC1.BIN")
expect("${WORK}/to/STCUSA.TBL" "the user's records")
expect("${WORK}/elsewhere.TBL" "linked")
expect("${WORK}/to/STCSP.TBL" "generated STCSP.TBL")
if(NOT IS_SYMLINK "${WORK}/to/STCUK.TBL")
    message(FATAL_ERROR "STCUK.TBL is no longer a symbolic link")
endif()
file(REMOVE_RECURSE "${WORK}")
