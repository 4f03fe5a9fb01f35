# Regenerates the pictures into OUT_DIR and requires them to equal COMMITTED_DIR byte for byte,
# with no file missing or left over on either side.
foreach(var GENERATOR OUT_DIR COMMITTED_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "check_skin.cmake needs -D${var}=...")
    endif()
endforeach()

file(REMOVE_RECURSE ${OUT_DIR})
execute_process(COMMAND ${GENERATOR} ${OUT_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "skin_generator failed: ${result}")
endif()

file(GLOB generated RELATIVE ${OUT_DIR} ${OUT_DIR}/*)
file(GLOB committed RELATIVE ${COMMITTED_DIR} ${COMMITTED_DIR}/*.bmp ${COMMITTED_DIR}/*.ico)
list(SORT generated)
list(SORT committed)
if(NOT generated STREQUAL committed)
    message(FATAL_ERROR "picture files differ.\n  generated: ${generated}\n  committed: ${committed}\n"
        "Run skin_generator ${COMMITTED_DIR} and commit the result.")
endif()

set(stale "")
foreach(name IN LISTS generated)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
        ${OUT_DIR}/${name} ${COMMITTED_DIR}/${name} RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        list(APPEND stale ${name})
    endif()
endforeach()
if(stale)
    message(FATAL_ERROR "committed pictures are out of date: ${stale}\n"
        "Run skin_generator ${COMMITTED_DIR} and commit the result.")
endif()
list(LENGTH generated count)
message(STATUS "all ${count} pictures match")
