# The content generator and the data directory it builds from content/.
# Included by the top CMakeLists right after the engine, so that its steps
# come early in the build and the data is made while the game compiles.
pkg_check_modules(ZV_CONTENT_DEPS REQUIRED IMPORTED_TARGET cairo vorbisenc vorbis ogg sndfile)

# Everything but the command line lives in a library the tests link as well.
file(GLOB ZV_CONTENT_SRCS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
list(REMOVE_ITEM ZV_CONTENT_SRCS ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
add_library(zv_content STATIC ${ZV_CONTENT_SRCS} ${CMAKE_SOURCE_DIR}/tools/common/archive_writer.cpp
                              ${CMAKE_SOURCE_DIR}/tools/zentrova-tool/sjis.cpp)
target_include_directories(zv_content PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_SOURCE_DIR}/src
                                             ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(zv_content PUBLIC PkgConfig::ZV_CONTENT_DEPS)

add_executable(zentrova-content ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(zentrova-content PRIVATE zv_content)
zv_link_engine(zentrova-content zv_platform_headless)

file(GLOB_RECURSE ZV_CONTENT_INPUTS CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/content/music/*.txt
     ${CMAKE_SOURCE_DIR}/content/manual/*
     ${CMAKE_SOURCE_DIR}/content/icons/*
     ${CMAKE_SOURCE_DIR}/content/story/*.txt)
set(ZV_DATA ${CMAKE_BINARY_DIR}/data)
set(ZV_CONTENT_OUTPUTS
    ${ZV_DATA}/grp.TVN ${ZV_DATA}/wav.TVN ${ZV_DATA}/SCR.TVN
    ${ZV_DATA}/bgm/bgm_001.ogg ${ZV_DATA}/bgm/bgm_002.ogg
    ${ZV_DATA}/bgm/bgm_003.ogg ${ZV_DATA}/bgm/bgm_004.ogg
    ${ZV_DATA}/bgm/bgm_005.ogg ${ZV_DATA}/bgm/bgm_006.ogg ${ZV_DATA}/bgm/bgm_007.ogg
    ${ZV_DATA}/manual/manual.html ${ZV_DATA}/res/icon.png ${ZV_DATA}/res/cursor.png)
add_custom_command(
  OUTPUT ${ZV_CONTENT_OUTPUTS}
  COMMAND zentrova-content --out ${ZV_DATA} --source ${CMAKE_SOURCE_DIR}/content
  DEPENDS zentrova-content ${ZV_CONTENT_INPUTS}
  COMMENT "Building the game data from content/"
  VERBATIM)
add_custom_target(zentrova-data ALL DEPENDS ${ZV_CONTENT_OUTPUTS})
