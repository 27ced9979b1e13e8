# Cross build for 64-bit Windows with MinGW-w64. The posix-thread compilers are
# used: under the win32 thread model GCC 12 has no std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QF_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${QF_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QF_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QF_MINGW}-windres)
set(CMAKE_OBJDUMP ${QF_MINGW}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${QF_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
