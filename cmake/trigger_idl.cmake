# trigger_add_idl: compile an IDL file with widl into the build tree.
#
#   trigger_add_idl(<target> <idl-file>
#                   [OUTPUT_NAME <base>]          # default: the IDL file's name without .idl
#                   [NO_TYPELIB]                  # the IDL has no library block (atliface.idl)
#                   [INCLUDE_DIRECTORIES <dir>...]
#                   [DEFINES <NAME=value>...]     # for the IDL's preprocessor
#                   [DEPENDS <file>...])          # imported IDL files of our own
#
# Produces <base>.h, <base>_i.c and (unless NO_TYPELIB) <base>.tlb in the current binary
# directory. <target> is a static library holding the compiled GUID definitions; linking it
# also puts the generated header on the include path. The type library's path is stored in
# the target's TRIGGER_TYPELIB property and in the variable <target>_TYPELIB.
#
#   trigger_add_typelib(<output.tlb> <idl-file>
#                       [INCLUDE_DIRECTORIES <dir>...] [DEFINES <NAME=value>...]
#                       [DEPENDS <file>...])
#
# A further type library from an IDL file, with its own preprocessor definitions (the same IDL
# built as another version); the caller's targets depend on <output.tlb>.

# The widl command line shared by both: the IDL file's absolute path in <idl_var>, the flags in
# <flags_var>.
function(_trigger_widl_flags idl_file out_dir include_dirs defines idl_var flags_var)
  if(NOT TRIGGER_WIDL)
    message(FATAL_ERROR "trigger_add_idl: no widl (TRIGGER_WIDL); configure with the windows preset")
  endif()
  get_filename_component(idl "${idl_file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(idl_dir "${idl}" DIRECTORY)
  # Imports resolve against the IDL's own folder, the caller's folders, the build folder
  # (for IDL generated there) and finally Wine's system IDL files.
  set(flags ${TRIGGER_WIDL_TARGET} -I "${idl_dir}")
  foreach(dir IN LISTS include_dirs)
    get_filename_component(dir "${dir}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND flags -I "${dir}")
  endforeach()
  list(APPEND flags -I "${out_dir}" -I "${TRIGGER_WIDL_INCLUDE_DIR}" -L "${TRIGGER_STDOLE2_TLB_DIR}")
  foreach(definition IN LISTS defines)
    list(APPEND flags "-D${definition}")
  endforeach()
  set(${idl_var} "${idl}" PARENT_SCOPE)
  set(${flags_var} "${flags}" PARENT_SCOPE)
endfunction()

function(trigger_add_idl target idl_file)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "NO_TYPELIB" "OUTPUT_NAME"
                        "INCLUDE_DIRECTORIES;DEFINES;DEPENDS")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "trigger_add_idl: unexpected arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()

  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}")
  _trigger_widl_flags("${idl_file}" "${out_dir}" "${ARG_INCLUDE_DIRECTORIES}" "${ARG_DEFINES}" idl
                      widl_flags)
  if(ARG_OUTPUT_NAME)
    set(base "${ARG_OUTPUT_NAME}")
  else()
    get_filename_component(base "${idl}" NAME_WLE)
  endif()

  set(header "${out_dir}/${base}.h")
  set(guids "${out_dir}/${base}_i.c")
  set(typelib "${out_dir}/${base}.tlb")

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

function(trigger_add_typelib output idl_file)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "" "" "INCLUDE_DIRECTORIES;DEFINES;DEPENDS")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "trigger_add_typelib: unexpected arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  get_filename_component(out_dir "${output}" DIRECTORY)
  _trigger_widl_flags("${idl_file}" "${out_dir}" "${ARG_INCLUDE_DIRECTORIES}" "${ARG_DEFINES}" idl
                      widl_flags)
  get_filename_component(name "${output}" NAME)
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${out_dir}"
    COMMAND "${TRIGGER_WIDL}" ${widl_flags} -t -o "${output}" "${idl}"
    DEPENDS "${idl}" ${ARG_DEPENDS}
    COMMENT "Compiling ${name}"
    VERBATIM)
endfunction()
