# The product's version: one number, major.minor.build.revision, kept in the file VERSION at the
# top of the tree. It feeds the version resources of Trigger.dll and TriggerRES.dll, the type
# library's version (major.minor) and the installer's ProductVersion.

# trigger_version_fields(<version> <prefix>): checks <version> and sets, in the caller's scope,
# <prefix>_COMMAS ("1,2,0,1", for version resources), <prefix>_TYPELIB ("1.2", for the IDL's
# version attribute), and the four fields <prefix>_MAJOR, _MINOR, _BUILD and _REVISION.
function(trigger_version_fields version prefix)
  if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "version \"${version}\" is not major.minor.build.revision")
  endif()
  # Windows Installer compares major.minor.build and allows at most 255.255.65535; the fourth
  # field only reaches the version resources.
  if(CMAKE_MATCH_1 GREATER 255 OR CMAKE_MATCH_2 GREATER 255 OR CMAKE_MATCH_3 GREATER 65535 OR
     CMAKE_MATCH_4 GREATER 65535)
    message(FATAL_ERROR "version \"${version}\" is out of range (at most 255.255.65535.65535)")
  endif()
  set(${prefix}_MAJOR "${CMAKE_MATCH_1}" PARENT_SCOPE)
  set(${prefix}_MINOR "${CMAKE_MATCH_2}" PARENT_SCOPE)
  set(${prefix}_BUILD "${CMAKE_MATCH_3}" PARENT_SCOPE)
  set(${prefix}_REVISION "${CMAKE_MATCH_4}" PARENT_SCOPE)
  set(${prefix}_TYPELIB "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}" PARENT_SCOPE)
  string(REPLACE "." "," commas "${version}")
  set(${prefix}_COMMAS "${commas}" PARENT_SCOPE)
endfunction()

# trigger_setup_versions(): TRIGGER_VERSION, the version in the file VERSION (editing the file
# reconfigures), with its fields as above; and the cache variable TRIGGER_PREVIOUS_VERSION, an
# older version of the same sources whose modules and installer the installer's upgrade test
# starts from (empty: none), with its fields too.
macro(trigger_setup_versions)
  file(STRINGS "${PROJECT_SOURCE_DIR}/VERSION" TRIGGER_VERSION LIMIT_COUNT 1 REGEX "[^ \t]")
  string(STRIP "${TRIGGER_VERSION}" TRIGGER_VERSION)
  set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                                                  "${PROJECT_SOURCE_DIR}/VERSION")
  trigger_version_fields("${TRIGGER_VERSION}" TRIGGER_VERSION)

  set(TRIGGER_PREVIOUS_VERSION "" CACHE STRING
      "Also build Trigger.dll, TriggerRES.dll and the installer as this older version")
  if(TRIGGER_PREVIOUS_VERSION)
    trigger_version_fields("${TRIGGER_PREVIOUS_VERSION}" TRIGGER_PREVIOUS_VERSION)
    # Windows Installer tells versions apart by their first three fields only.
    string(REGEX REPLACE "\\.[0-9]+$" "" _trigger_previous "${TRIGGER_PREVIOUS_VERSION}")
    string(REGEX REPLACE "\\.[0-9]+$" "" _trigger_current "${TRIGGER_VERSION}")
    if(NOT _trigger_previous VERSION_LESS _trigger_current)
      message(FATAL_ERROR "TRIGGER_PREVIOUS_VERSION ${TRIGGER_PREVIOUS_VERSION} is not older than "
                          "${TRIGGER_VERSION} in its first three fields")
    endif()
  endif()
endmacro()
