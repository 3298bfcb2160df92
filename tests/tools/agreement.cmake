# The add-in under Wine against the golden files that the native checker's output is compared
# with: on a copy of each project, the list it exports, the records the simulator holds and the
# lines it writes to the host log while loading must be the golden ones.
#
#   cmake -DRUN_STANDIN=<run-standin> -DWINE_RUN=<wine-run> -DPREFIX=<prefix> -DBIN=<bin>
#         -DSOURCE=<source dir> -DWORK=<scratch dir> -P agreement.cmake
#
# The one value allowed to differ is the window-message number in a message trigger's record
# (bytes 24..27): the add-in asks Windows for it (RegisterWindowMessageA), the checker numbers
# messages by the core's portable stand-in for that call.
set(golden "${SOURCE}/tests/tools/golden")
set(byte "[0-9A-F][0-9A-F] ")

# "ID BYTES" lines with the message number of message records (action 0x000D) masked.
function(mask_message_numbers text out)
  set(head "^([0-9]+ ${byte}${byte}${byte}${byte}${byte}${byte}0D 00 ")
  string(REPEAT "${byte}" 16 between)
  string(REGEX REPLACE "${head}(${between}))[0-9A-F][0-9A-F] [0-9A-F][0-9A-F] [0-9A-F][0-9A-F] [0-9A-F][0-9A-F]"
         "\\1?? ?? ?? ??" masked "${text}")
  set(${out} "${masked}" PARENT_SCOPE)
endfunction()

function(records_masked text out)
  string(REPLACE "\n" ";" lines "${text}")
  set(result "")
  foreach(line IN LISTS lines)
    if(line STREQUAL "")
      continue()
    endif()
    mask_message_numbers("${line}" masked)
    string(APPEND result "${masked}\n")
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# The text between "== <name>\n" and the next "== " line of the script's output.
function(section output name out)
  string(FIND "${output}" "== ${name}\n" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "no \"== ${name}\" in the output:\n${output}")
  endif()
  string(LENGTH "== ${name}\n" skip)
  math(EXPR start "${start} + ${skip}")
  string(SUBSTRING "${output}" ${start} -1 rest)
  string(FIND "${rest}" "== " end)
  string(SUBSTRING "${rest}" 0 ${end} text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(run_addin project golden_log golden_list golden_records)
  get_filename_component(name "${project}" NAME_WE)
  file(MAKE_DIRECTORY "${WORK}")
  file(COPY "${project}" DESTINATION "${WORK}")
  execute_process(
    COMMAND "${RUN_STANDIN}" "${WINE_RUN}" "${PREFIX}" --register "${BIN}/Trigger.dll"
            --expect "^== end$" -- "${BIN}/vireo-standin.exe" --project "${WORK}/${name}.vpj"
            --script "${SOURCE}/tests/tools/agreement.js"
    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${name}: the stand-in run failed:\n${output}${errors}")
  endif()

  section("${output}" "log" log)
  file(READ "${golden_log}" expected_log)
  if(NOT log STREQUAL expected_log)
    message(FATAL_ERROR "${name}: the add-in's log differs from ${golden_log}:\n${log}")
  endif()

  if(golden_list)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${name}-list.txt"
                            "${golden_list}" RESULT_VARIABLE different)
    if(different)
      file(READ "${WORK}/${name}-list.txt" list)
      message(FATAL_ERROR "${name}: the add-in's list differs from ${golden_list}:\n${list}")
    endif()
  endif()
  if(golden_records)
    section("${output}" "records" records)
    records_masked("${records}" records)
    file(READ "${golden_records}" expected_records)
    records_masked("${expected_records}" expected_records)
    if(NOT records STREQUAL expected_records)
      message(FATAL_ERROR "${name}: the simulator's records differ from ${golden_records}:\n"
                          "${records}")
    endif()
  endif()
  message(STATUS "${name}: the add-in agrees with the golden files")
endfunction()

run_addin("${SOURCE}/examples/sample.vpj" "${golden}/sample-log.txt" "${golden}/sample-list.txt"
          "${golden}/sample-records.txt")
run_addin("${SOURCE}/tests/projects/malformed/refused_values.vpj" "${golden}/refused_values-log.txt"
          "" "")
