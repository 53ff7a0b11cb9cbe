# What the Windows build uses instead of the Linux libraries. Included by the
# top CMakeLists for WIN32 targets (cmake/i686-w64-mingw32.cmake).

# The shared platform files built on Linux libraries, and their Win32
# versions in src/platform/win32/ (files and the lock, the registry, the
# glyph rasterizer, PNG, the codec layer, the folders; files opened in
# binary mode by default).
set(ZV_LINUX_PLATFORM_SRCS
    src/platform/acm.cpp src/platform/datadir.cpp src/platform/file.cpp src/platform/glyph.cpp
    src/platform/instance.cpp src/platform/pictures.cpp src/platform/png.cpp
    src/platform/registry.cpp)
set(ZV_WINDOWS_PLATFORM_SRCS
    src/platform/win32/acm.cpp src/platform/win32/binmode.cpp src/platform/win32/datadir.cpp
    src/platform/win32/file.cpp src/platform/win32/glyph.cpp src/platform/win32/instance.cpp
    src/platform/win32/pictures.cpp src/platform/win32/png.cpp src/platform/win32/registry.cpp)
list(TRANSFORM ZV_WINDOWS_PLATFORM_SRCS PREPEND ${CMAKE_SOURCE_DIR}/)
set(ZV_PLATFORM_LIBS gdi32 user32 advapi32 msacm32 winmm shell32 ole32)

# stb_vorbis and stb_image_write are header-only: Debian's libstb-dev headers
# serve every compiler.
find_path(ZV_STB_DIR stb_vorbis.h PATHS /usr/include/stb NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(zv_stb INTERFACE)
target_include_directories(zv_stb SYSTEM INTERFACE ${ZV_STB_DIR})
set(ZV_VORBIS_LIBS zv_stb)
list(APPEND ZV_PLATFORM_LIBS zv_stb)

# One self-contained executable: the C++ runtime, libgcc and winpthreads
# linked in, so that only system DLLs are imported.
add_link_options(-static -static-libgcc -static-libstdc++)
# Windows headers: no min/max macros, the API of Windows XP and later.
# M_PI and localtime_r as the C libraries of Linux have them.
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501 _USE_MATH_DEFINES
                        _POSIX_THREAD_SAFE_FUNCTIONS=200112L)

if(ZV_BUILD_TESTS)
  # Debian's googletest package is sources for any compiler.
  set(ZV_GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest's sources")
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # GoogleTest is not ours: its own warnings do not stop the build.
  add_subdirectory(${ZV_GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    target_compile_options(${t} PRIVATE -Wno-error)
    if(NOT TARGET GTest::${t})
      add_library(GTest::${t} ALIAS ${t})
    endif()
  endforeach()
endif()

# Tests that run the tool or the shell's commands (sox, oggdec) through a
# POSIX shell, fork, or guard pages with mmap: they stay with the Linux
# build. The tool itself is tested under Wine by the whole play-through. The
# ADPCM decoders are compared with libsndfile, which only the Linux build has.
set(ZV_WINDOWS_SKIPPED_TESTS
    tests/platform/adpcm_test.cpp tests/blit/fastpath_fuzz_test.cpp tests/gfx/render_tool_test.cpp
    tests/platform/file_replace_test.cpp tests/play/play_replay_test.cpp tests/script/tool_test.cpp
    tests/text/text_tool_test.cpp tests/title/replay_test.cpp)
file(GLOB zv_tool_tests ${CMAKE_SOURCE_DIR}/tests/tool/*.cpp)
list(TRANSFORM ZV_WINDOWS_SKIPPED_TESTS PREPEND ${CMAKE_SOURCE_DIR}/)
list(APPEND ZV_WINDOWS_SKIPPED_TESTS ${zv_tool_tests})

# The game: the Win32 window backend, its resources and the GUI entry point.
function(zv_windows_game)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/win32/*.cpp)
  list(REMOVE_ITEM srcs ${ZV_WINDOWS_PLATFORM_SRCS})
  if(NOT srcs)
    return()
  endif()
  add_library(zv_platform_win32 STATIC ${srcs})
  target_link_libraries(zv_platform_win32 PUBLIC zv_platform dsound dxguid)
  add_executable(zentrova WIN32 src/main.cpp ${CMAKE_SOURCE_DIR}/src/platform/win32/zentrova.rc)
  zv_link_engine(zentrova zv_platform_win32)
  # The data lies beside the executable.
  target_compile_definitions(zentrova PRIVATE ZV_DATADIR_RELATIVE="." ZV_DATADIR_ABSOLUTE=""
                                              ZV_VERSION="${PROJECT_VERSION}")
  # The resource compiler takes the version and the icon from a header.
  set(rc "#define ZV_RC_VERSION \"${PROJECT_VERSION}\"\n")
  string(APPEND rc "#define ZV_VERSION_MAJOR ${PROJECT_VERSION_MAJOR}\n")
  string(APPEND rc "#define ZV_VERSION_MINOR ${PROJECT_VERSION_MINOR}\n")
  string(APPEND rc "#define ZV_VERSION_PATCH ${PROJECT_VERSION_PATCH}\n")
  if(ZV_WINDOWS_ICON)
    string(APPEND rc "#define ZV_ICON_FILE \"${ZV_WINDOWS_ICON}\"\n")
  endif()
  file(WRITE ${CMAKE_BINARY_DIR}/zentrova_rc.h.new "${rc}")
  file(COPY_FILE ${CMAKE_BINARY_DIR}/zentrova_rc.h.new ${CMAKE_BINARY_DIR}/zentrova_rc.h
       ONLY_IF_DIFFERENT)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/src/platform/win32/zentrova.rc PROPERTIES
                              INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR})
endfunction()
set(ZV_WINDOWS_ICON "" CACHE FILEPATH "The program's icon (.ico), for resource 109")
