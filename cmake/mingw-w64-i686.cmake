# Cross toolchain for the Windows x86 build (hosts that are 32-bit processes): an in-process COM
# server loads only into a process of its own bitness.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TRIGGER_MINGW_TRIPLE i686-w64-mingw32)
# widl's target, and where Wine keeps its 32-bit Windows libraries (package wine32); without that
# package, the 32-bit stdole2.tlb that scripts/setup takes out of it.
set(TRIGGER_WIDL_TARGET -m32)
set(TRIGGER_WINE_PE_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
if(NOT EXISTS "${TRIGGER_WINE_PE_DIR}/stdole2.tlb")
  if(DEFINED ENV{XDG_CACHE_HOME})
    set(TRIGGER_WINE_PE_DIR "$ENV{XDG_CACHE_HOME}/trigger/wine32")
  elseif(DEFINED ENV{HOME})
    set(TRIGGER_WINE_PE_DIR "$ENV{HOME}/.cache/trigger/wine32")
  else()
    set(TRIGGER_WINE_PE_DIR "/tmp/.cache/trigger/wine32")
  endif()
endif()

include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
