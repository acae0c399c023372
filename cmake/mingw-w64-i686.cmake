# Cross-compiles the 32-bit Win32 build with mingw-w64 on Linux; tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(PELMO_MINGW_PREFIX i686-w64-mingw32)
# The win32 threading model: the posix one links winpthreads, which imports calls the
# Windows 95 family lacks (TryEnterCriticalSection, AddVectoredExceptionHandler,
# GetTickCount64). The program uses no threads, and GoogleTest is built without its
# locks (tests/CMakeLists.txt), so the tested pelmo.exe is the one to hand out.
set(PELMO_MINGW_THREADS win32 CACHE STRING "Threading model of the compiler: posix or win32")
set(CMAKE_C_COMPILER ${PELMO_MINGW_PREFIX}-gcc-${PELMO_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${PELMO_MINGW_PREFIX}-g++-${PELMO_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${PELMO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PELMO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained pelmo.exe: no libgcc, libstdc++ or winpthread DLLs beside it, and
# no time stamp in it, so that the tested and the handed-out builds can be compared.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")

# Test programs run through a wrapper that keeps one Wine prefix per build tree,
# set to the Windows 95 family.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
