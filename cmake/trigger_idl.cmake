# trigger_add_idl: compile an IDL file with widl into the build tree.
#
#   trigger_add_idl(<target> <idl-file>
#                   [OUTPUT_NAME <base>]          # default: the IDL file's name without .idl
#                   [NO_TYPELIB]                  # the IDL has no library block (atliface.idl)
#                   [INCLUDE_DIRECTORIES <dir>...]
#                   [DEPENDS <file>...])          # imported IDL files of our own
#
# Produces <base>.h, <base>_i.c and (unless NO_TYPELIB) <base>.tlb in the current binary
# directory. <target> is a static library holding the compiled GUID definitions; linking it
# also puts the generated header on the include path. The type library's path is stored in
# the target's TRIGGER_TYPELIB property and in the variable <target>_TYPELIB.

function(trigger_add_idl target idl_file)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "NO_TYPELIB" "OUTPUT_NAME" "INCLUDE_DIRECTORIES;DEPENDS")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "trigger_add_idl: unexpected arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TRIGGER_WIDL)
    message(FATAL_ERROR "trigger_add_idl: no widl (TRIGGER_WIDL); configure with the windows preset")
  endif()

  get_filename_component(idl "${idl_file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(idl_dir "${idl}" DIRECTORY)
  if(ARG_OUTPUT_NAME)
    set(base "${ARG_OUTPUT_NAME}")
  else()
    get_filename_component(base "${idl}" NAME_WLE)
  endif()

  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}")
  set(header "${out_dir}/${base}.h")
  set(guids "${out_dir}/${base}_i.c")
  set(typelib "${out_dir}/${base}.tlb")

  # Imports resolve against the IDL's own folder, the caller's folders, the build folder
  # (for IDL generated there) and finally Wine's system IDL files.
  set(widl_flags -m64 -I "${idl_dir}")
  foreach(dir IN LISTS ARG_INCLUDE_DIRECTORIES)
    get_filename_component(dir "${dir}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND widl_flags -I "${dir}")
  endforeach()
  list(APPEND widl_flags -I "${out_dir}" -I "${TRIGGER_WIDL_INCLUDE_DIR}"
       -L "${TRIGGER_STDOLE2_TLB_DIR}")

  set(outputs "${header}" "${guids}")
  set(commands
      COMMAND "${TRIGGER_WIDL}" ${widl_flags} -h -o "${header}" "${idl}"
      COMMAND "${TRIGGER_WIDL}" ${widl_flags} -u -o "${guids}" "${idl}")
  if(NOT ARG_NO_TYPELIB)
    list(APPEND outputs "${typelib}")
    list(APPEND commands COMMAND "${TRIGGER_WIDL}" ${widl_flags} -t -o "${typelib}" "${idl}")
  endif()

  add_custom_command(
    OUTPUT ${outputs}
    ${commands}
    DEPENDS "${idl}" ${ARG_DEPENDS}
    WORKING_DIRECTORY "${out_dir}"
    COMMENT "Compiling ${base}.idl"
    VERBATIM)

  add_library(${target} STATIC ${outputs})
  set_source_files_properties("${header}" PROPERTIES HEADER_FILE_ONLY ON)
  if(NOT ARG_NO_TYPELIB)
    set_source_files_properties("${typelib}" PROPERTIES HEADER_FILE_ONLY ON)
    set_target_properties(${target} PROPERTIES TRIGGER_TYPELIB "${typelib}")
    set(${target}_TYPELIB "${typelib}" PARENT_SCOPE)
  endif()
  target_include_directories(${target} PUBLIC "${out_dir}")
endfunction()
