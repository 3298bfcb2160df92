# Cross toolchain for the Windows x86 build (hosts that are 32-bit processes): an in-process COM
# server loads only into a process of its own bitness.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TRIGGER_MINGW_TRIPLE i686-w64-mingw32)
# widl's target, and where Wine keeps its 32-bit Windows libraries (package wine32).
set(TRIGGER_WIDL_TARGET -m32)
set(TRIGGER_WINE_PE_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)

include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
