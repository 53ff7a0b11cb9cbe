# The browser build (emcmake, or Emscripten's toolchain file): the engine, the
# platform layer's shared code without the desktop libraries, the web backend
# and the page's entry. No tests, tool or data here: scripts/build-web.sh takes
# the data from a desktop build and makes the site.
#
# Without threads: a static server sends no cross-origin isolation headers, so
# the page has no shared memory. The game's loop is kept as it is and yields
# to the browser where it would sleep, through Asyncify; the music workers run
# as fibers on the same stack switching.
set(ZV_ENGINE_DIRS common gfx blit sound text script game resources shell)
set(ZV_ENGINE_SRCS)
foreach(dir ${ZV_ENGINE_DIRS})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp)
  list(APPEND ZV_ENGINE_SRCS ${srcs})
endforeach()
zv_processor_sources(ZV_ENGINE_SRCS)
# Vorbis through stb_vorbis instead of libvorbis.
# stb_vorbis and stb_image are header-only (Debian's libstb-dev); only their
# folder of the host's headers, none of its C library.
find_path(ZV_WEB_STB_DIR stb_vorbis.h PATHS /usr/include/stb NO_CMAKE_FIND_ROOT_PATH REQUIRED)
list(REMOVE_ITEM ZV_ENGINE_SRCS ${CMAKE_SOURCE_DIR}/src/sound/ogg.cpp)
add_library(zv_engine STATIC ${ZV_ENGINE_SRCS})
target_include_directories(zv_engine PUBLIC ${CMAKE_SOURCE_DIR}/src)
# Its pragmas name GCC's warnings too, which clang does not know.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/sound/ogg_stb.cpp PROPERTIES
                            INCLUDE_DIRECTORIES ${ZV_WEB_STB_DIR}
                            COMPILE_OPTIONS -Wno-unknown-warning-option)

# The shared platform code, less what needs a desktop library or threads; the
# web backend stands in for those files.
file(GLOB ZV_PLATFORM_SRCS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/*.cpp)
zv_processor_sources(ZV_PLATFORM_SRCS)
foreach(f thread glyph png acm instance)
  list(REMOVE_ITEM ZV_PLATFORM_SRCS ${CMAKE_SOURCE_DIR}/src/platform/${f}.cpp)
endforeach()
file(GLOB ZV_WEB_SRCS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/web/*.cpp)
add_library(zv_platform_web STATIC ${ZV_PLATFORM_SRCS} ${ZV_WEB_SRCS})
target_include_directories(zv_platform_web PUBLIC ${CMAKE_SOURCE_DIR}/src)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/platform/web/png.cpp PROPERTIES
                            INCLUDE_DIRECTORIES ${ZV_WEB_STB_DIR})

# The page's entry: the game, or a scripted replay when the page hands it an
# input script (the browser test).
add_executable(zentrova src/main_web.cpp tools/zentrova-tool/replay_input.cpp
                        tools/zentrova-tool/replay_record.cpp)
target_include_directories(zentrova PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(zentrova PRIVATE zv_engine zv_platform_web)
target_compile_definitions(zentrova PRIVATE ZV_VERSION="${PROJECT_VERSION}")
set(ZV_WEB_LINK
    -sASYNCIFY=1
    # Deep enough for the message box opened from the window procedure.
    -sASYNCIFY_STACK_SIZE=65536
    -sALLOW_MEMORY_GROWTH=1
    -sINITIAL_MEMORY=67108864
    -sENVIRONMENT=web
    -sEXIT_RUNTIME=0
    -sFORCE_FILESYSTEM=1
    -sINVOKE_RUN=0
    -sEXPORTED_RUNTIME_METHODS=FS,IDBFS,callMain,UTF8ToString
    -sEXPORTED_FUNCTIONS=_main,_malloc,_free
    -lidbfs.js
    --pre-js ${CMAKE_SOURCE_DIR}/src/platform/web/page.js)
string(REPLACE ";" " " ZV_WEB_LINK_FLAGS "${ZV_WEB_LINK}")
set_target_properties(zentrova PROPERTIES SUFFIX ".js" LINK_FLAGS "${ZV_WEB_LINK_FLAGS}")
