# Cross build for 64-bit ARM Linux with Debian's cross compiler and the arm64
# libraries of a multiarch system (dpkg --add-architecture arm64). The
# programs it makes run here through the user-mode emulator, for the tests.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
find_program(ZV_QEMU_AARCH64 qemu-aarch64-static qemu-aarch64)
if(ZV_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZV_QEMU_AARCH64})
endif()
# The arm64 libraries' pkg-config files, not the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
