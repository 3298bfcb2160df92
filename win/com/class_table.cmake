# The creatable classes of Trigger.dll: the one list from which the registry scripts, the C++
# class table (class_table.cpp) and the installer's registry table are made. One entry a class,
# in registration order:
#
#   name|CLSID|script resource|threading model|aggregatable
#
# The name is the coclass of trigger.idl, the stem of the ProgIDs (Trigger.<name>.1 and
# Trigger.<name>) and of the description ("<name> Class"). The CLSIDs are those of trigger.idl's
# coclasses, which trigger_check_class_table() holds to.
set(TRIGGER_CLASSES
    "Command|47C7E232-10B5-43FF-993F-F30ECE91652D|14324|Both|no"
    "Connect|6F0F8A0B-1D9F-4E65-A1C2-8374B2A8B178|14325|Both|no"
    "InterruptTrigger|3B40F3D7-AD7C-4185-878F-0DA2931608C2|14321|Apartment|yes"
    "TriggerAction|FDB4C43D-DEAB-41F8-9914-3BD83245A6FA|14322|Apartment|yes"
    "TransferTrigger|8CE6091B-7938-4C31-917C-4F17E92CDB93|14323|Apartment|yes"
    "StreamTrigger|BC69E177-0E13-4531-92E5-C8020FBFF472|14326|Apartment|yes"
    "IOStreamTrigger|43A98795-84D3-470C-BB68-CF93E040583E|14327|Apartment|yes"
    "ConnectTrigger|0AF12650-632D-418E-A80B-71680125B71E|14328|Apartment|yes"
    "Version|FB7C4917-17D0-433D-B7DF-CBDDD47A3083|14341|Both|no"
    "MessageTrigger|50FD480D-E2A9-4454-BBD4-030805C8C9DE|14344|Apartment|no"
    "ControlTrigger|E4DC05D2-F4C0-4E82-B8F4-BFB861B99050|14345|Apartment|no"
    "SioTrigger|EAC9041C-4054-4CDE-B6F1-463FFB4CA2C6|14346|Apartment|no"
    "FileStreamTrigger|98CBADA2-1843-4136-8388-54C699101E24|14352|Both|no")

# The identifier of the type library, as the library block in trigger.idl gives it.
set(TRIGGER_LIBID "5BDE5C4C-758B-44AD-8D21-BBF6BAB710A3")
set(TRIGGER_IDL "${CMAKE_CURRENT_LIST_DIR}/trigger.idl")
# The host IDL, which trigger.idl imports. It holds IConnect and ICommand, the add-in contract.
set(TRIGGER_HOST_IDL "${CMAKE_CURRENT_LIST_DIR}/../host/vireo_host.idl")

# trigger_class_fields(<entry>): CLASS, CLSID, SCRIPT, THREADING and AGGREGATABLE (yes or no)
# of one entry, in the caller's scope.
macro(trigger_class_fields entry)
  string(REPLACE "|" ";" _trigger_fields "${entry}")
  list(GET _trigger_fields 0 CLASS)
  list(GET _trigger_fields 1 CLSID)
  list(GET _trigger_fields 2 SCRIPT)
  list(GET _trigger_fields 3 THREADING)
  list(GET _trigger_fields 4 AGGREGATABLE)
endmacro()

# trigger_check_class_table(): fails the configuration when trigger.idl's library or one of its
# coclasses has another identifier than this list gives it.
function(trigger_check_class_table)
  file(READ "${TRIGGER_IDL}" idl)
  string(TOUPPER "${idl}" idl)
  set(space "[ \t\r\n]")
  foreach(entry IN LISTS TRIGGER_CLASSES)
    trigger_class_fields("${entry}")
    string(TOUPPER "uuid\\(${CLSID}\\)[^]]*\\]${space}*COCLASS${space}+${CLASS}[ \t\r\n{]" pattern)
    if(NOT idl MATCHES "${pattern}")
      message(FATAL_ERROR "trigger.idl has no coclass ${CLASS} with uuid(${CLSID}), as "
                          "class_table.cmake gives it")
    endif()
  endforeach()
  string(TOUPPER "uuid\\(${TRIGGER_LIBID}\\)[^]]*\\]${space}*LIBRARY${space}" pattern)
  if(NOT idl MATCHES "${pattern}")
    message(FATAL_ERROR "trigger.idl's library is not uuid(${TRIGGER_LIBID})")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${TRIGGER_IDL}"
                                                                 "${TRIGGER_HOST_IDL}")
endfunction()
