# Cross-compiles for 64-bit Windows with Debian's mingw-w64.
#
# The -posix compilers: the default (win32 thread model) ones lack std::thread
# and std::mutex, which the tests' servers use.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VINTREL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VINTREL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VINTREL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VINTREL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VINTREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static, so that the programs need none of the compiler's DLLs (libstdc++,
# libgcc, winpthread) beside them, under Wine or on a Windows machine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# The programs run under Wine wherever CMake runs one: the tests, and the
# discovery of their cases.
get_filename_component(VINTREL_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VINTREL_WINE_RUN})
