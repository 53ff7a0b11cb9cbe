# Cross build for 64-bit Windows with Debian's mingw-w64 compilers, the same
# way as cmake/i686-w64-mingw32.cmake. Its tests run under 64-bit Wine: for
# machines that cannot run 32-bit x86 programs (and so not the 32-bit Wine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
find_program(ZV_WINE64 wine64 PATHS /usr/lib/wine)
if(ZV_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZV_WINE64})
endif()
