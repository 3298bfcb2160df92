# What the two Windows toolchains share (mingw-w64-x86_64.cmake and mingw-w64-i686.cmake set the
# target first): mingw-w64 on Debian with the posix thread model, static run-time libraries, and
# widl with Wine's IDL files.
#
# The posix compilers are required: the win32 thread model has no std::mutex or
# std::thread, and GoogleTest does not build with it.

find_program(CMAKE_C_COMPILER NAMES ${TRIGGER_MINGW_TRIPLE}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TRIGGER_MINGW_TRIPLE}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TRIGGER_MINGW_TRIPLE}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${TRIGGER_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CXX_STANDARD 17)

# The C99-conforming printf family of mingw-w64 instead of the system runtime's: "%zu", "%lld"
# and the formatting of reals then behave as on Linux, so the core prints the same texts on both.
set(CMAKE_C_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_CXX_STANDARD_REQUIRED ON)

# Nothing we ship may need the compiler's runtime DLLs beside it: Wine and the host only offer
# system DLLs. Executables link fully static. DLLs take libgcc and libstdc++ statically; the
# posix libstdc++ also pulls in winpthread, whose import library the driver would pick unless
# -static is given too. --exclude-libs keeps the runtime's symbols out of a DLL's automatic
# export table.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static -Wl,--exclude-libs,ALL")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${CMAKE_SHARED_LINKER_FLAGS_INIT}")

# IDL compiler and the inputs it needs: Debian's mingw-w64 headers ship no .idl files, so
# imports (unknwn.idl, oaidl.idl, atliface.idl, ...) come from Wine's development package, and
# type libraries that import stdole2 need the directory that holds stdole2.tlb.
find_program(TRIGGER_WIDL NAMES ${TRIGGER_MINGW_TRIPLE}-widl widl
             DOC "IDL compiler producing headers, GUID files and type libraries")
set(TRIGGER_WIDL_INCLUDE_DIR "/usr/include/wine/wine/windows"
    CACHE PATH "Directory holding the system IDL files that our IDL imports")
set(TRIGGER_STDOLE2_TLB_DIR "${TRIGGER_WINE_PE_DIR}"
    CACHE PATH "Directory holding stdole2.tlb, for importlib in type libraries")
