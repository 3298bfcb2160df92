# trigger_add_fuzzer: a libFuzzer target (clang; configure with the fuzz preset).
#
#   trigger_add_fuzzer(<name> <source>...
#                      [LIBS <library>...]
#                      [CORPUS <dir>]     # starting inputs, read only
#                      [RUNS <n>])        # inputs tried by the CTest smoke run (default 10000)
#
# CTest runs each fuzzer briefly so a fuzzer that stops building or crashes on its seeds is
# noticed; long runs are started by hand: build/fuzz/fuzz/<name> <scratch-dir> <corpus>.
# New inputs go to a scratch folder in the build tree, never into the corpus in the sources.

function(trigger_add_fuzzer name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "CORPUS;RUNS" "LIBS")
  if(NOT ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "trigger_add_fuzzer(${name}): no sources")
  endif()
  if(NOT ARG_RUNS)
    set(ARG_RUNS 10000)
  endif()

  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})

  set(scratch "${CMAKE_CURRENT_BINARY_DIR}/${name}.inputs")
  file(MAKE_DIRECTORY "${scratch}")
  set(args -runs=${ARG_RUNS} -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/${name}- "${scratch}")
  if(ARG_CORPUS)
    get_filename_component(corpus "${ARG_CORPUS}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND args "${corpus}")
  endif()
  add_test(NAME ${name} COMMAND ${name} ${args})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS fuzz)
endfunction()
