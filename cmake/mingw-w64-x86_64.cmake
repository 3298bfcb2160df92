# Cross toolchain for the Windows x64 build (hosts that are 64-bit processes).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TRIGGER_MINGW_TRIPLE x86_64-w64-mingw32)
# widl's target, and where Wine keeps its 64-bit Windows libraries (stdole2.tlb among them).
set(TRIGGER_WIDL_TARGET -m64)
set(TRIGGER_WINE_PE_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)

include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
