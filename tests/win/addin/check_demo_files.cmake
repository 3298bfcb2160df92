# After the demo's script ran on a copy of a project: the trigger list beside the copy holds its
# header and one row per trigger, and the project saved without changes is the original, byte for
# byte.
#
#   cmake -DORIGINAL=<project> -DCOPY=<copy> -DTRIGGERS=<count> -P check_demo_files.cmake
string(REGEX REPLACE "\\.[^./]*$" "-triggers.txt" list "${COPY}")
if(NOT EXISTS "${list}")
  message(FATAL_ERROR "no trigger list ${list}")
endif()
file(STRINGS "${list}" lines)
list(GET lines 0 total)
if(NOT total STREQUAL "total number of defined trigger = ${TRIGGERS}")
  message(FATAL_ERROR "the list begins \"${total}\"")
endif()
list(FILTER lines INCLUDE REGEX "^[0-9]+, ")
list(LENGTH lines rows)
if(NOT rows EQUAL TRIGGERS)
  message(FATAL_ERROR "the list has ${rows} trigger rows, not ${TRIGGERS}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${ORIGINAL}" "${COPY}"
                RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "the saved project ${COPY} differs from ${ORIGINAL}")
endif()
