# trigger_add_gtest: a GoogleTest executable registered with CTest.
#
#   trigger_add_gtest(<name> <source>...
#                     [LIBS <library>...]       # linked in addition to gtest_main and gmock
#                     [ENVIRONMENT <VAR=value>...]
#                     [NEED_DISPLAY]            # GUI tests: the Wine wrapper provides an X display
#                     [TIMEOUT <seconds>]
#                     [WINE_PREFIX <dir>])      # cross-compiled: run in this prefix, not the
#                                               # emulator's (one with other settings)
#
# Natively every test case becomes its own CTest test (gtest_discover_tests). Cross-compiled,
# each start of the emulator boots Wine, which costs seconds, so the whole executable is one
# CTest test; its output still names every failing case.

include(GoogleTest)

function(trigger_add_gtest name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "NEED_DISPLAY" "TIMEOUT;WINE_PREFIX" "LIBS;ENVIRONMENT")
  set(sources ${ARG_UNPARSED_ARGUMENTS})
  if(NOT sources)
    message(FATAL_ERROR "trigger_add_gtest(${name}): no sources")
  endif()

  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)

  set(environment ${ARG_ENVIRONMENT})
  if(ARG_NEED_DISPLAY)
    list(APPEND environment TRIGGER_NEED_DISPLAY=1)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()

  if(CMAKE_CROSSCOMPILING)
    # The target name makes CTest run it through CMAKE_CROSSCOMPILING_EMULATOR.
    if(ARG_WINE_PREFIX)
      list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 wine_run)
      add_test(NAME ${name} COMMAND ${wine_run} ${ARG_WINE_PREFIX} $<TARGET_FILE:${name}>
                                    --gtest_color=no)
    else()
      add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    endif()
    # Wine may end a program that dies mid-run (a stack overflow, say) with exit code 0, so the
    # exit code alone does not prove a pass: the run must reach GoogleTest's closing count and
    # report no failure.
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${name}"
                         PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [0-9]+ tests?\\."
                         FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
    if(environment)
      set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}")
    endif()
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 TEST_LIST ${name}_TESTS
                         PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${name}")
    if(environment)
      # gtest_discover_tests splits list-valued PROPERTIES, so a second CTest include, read
      # after the discovered tests, sets the whole environment on them.
      set(script "${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake")
      file(WRITE "${script}"
           "if(${name}_TESTS)\n"
           "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT [==[${environment}]==])\n"
           "endif()\n")
      set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
    endif()
  endif()
endfunction()

# trigger_lock_wine_registry(): for the tests of the calling directory that register COM servers.
# They change the one registry of the shared Wine prefix (a registration removes and rewrites
# class keys that other tests may be reading), so they run one at a time.
function(trigger_lock_wine_registry)
  get_property(tests DIRECTORY PROPERTY TESTS)
  if(tests AND CMAKE_CROSSCOMPILING)
    set_tests_properties(${tests} PROPERTIES RESOURCE_LOCK wine_registry)
  endif()
endfunction()
