# Installing the game as a desktop program, and its Debian packages: the game
# (component game), its data (data, the same on every processor) and the
# modder's tool (tools).
include(GNUInstallDirs)

# Games and their data have their own folders (/usr/games,
# /usr/share/games under the /usr prefix).
set(ZV_INSTALL_GAMEDIR games CACHE STRING "Where the game is installed, under the prefix")
set(ZV_INSTALL_GAMEDATADIR ${CMAKE_INSTALL_DATADIR}/games CACHE STRING
    "Where the game's data folder is installed, under the prefix")
set(ZV_INSTALL_DATADIR ${ZV_INSTALL_GAMEDATADIR}/zentrova)
# The desktop and software-centre id, and the page where the metainfo's
# screenshots (the ones made here, installed with the data) are published.
set(ZV_APP_ID example.tavren.Zentrova)
set(ZV_HOMEPAGE "https://www.tavren.example/zentrova/")
file(RELATIVE_PATH ZV_DATADIR_RELATIVE ${CMAKE_INSTALL_PREFIX}/${ZV_INSTALL_GAMEDIR}
     ${CMAKE_INSTALL_PREFIX}/${ZV_INSTALL_DATADIR})
target_compile_definitions(
  zentrova PRIVATE ZV_DATADIR_RELATIVE="${ZV_DATADIR_RELATIVE}"
                   ZV_DATADIR_ABSOLUTE="${CMAKE_INSTALL_PREFIX}/${ZV_INSTALL_DATADIR}"
                   ZV_VERSION="${PROJECT_VERSION}")
target_compile_definitions(zentrova-tool PRIVATE ZV_VERSION="${PROJECT_VERSION}")

install(TARGETS zentrova RUNTIME DESTINATION ${ZV_INSTALL_GAMEDIR} COMPONENT game)
install(TARGETS zentrova-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)

# The manual pages, written for people in content/packaging.
set(ZV_MAN ${CMAKE_BINARY_DIR}/man)
set(ZV_MAN_PAGES zentrova.6 zentrova-tool.1)
set(ZV_MAN_OUTPUTS)
foreach(page ${ZV_MAN_PAGES})
  add_custom_command(
    OUTPUT ${ZV_MAN}/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZV_MAN}
    COMMAND sh -c "gzip -9nc '${CMAKE_SOURCE_DIR}/content/packaging/${page}' > '${ZV_MAN}/${page}.gz'"
    DEPENDS ${CMAKE_SOURCE_DIR}/content/packaging/${page}
    VERBATIM)
  list(APPEND ZV_MAN_OUTPUTS ${ZV_MAN}/${page}.gz)
endforeach()
add_custom_target(zentrova-man ALL DEPENDS ${ZV_MAN_OUTPUTS})
install(FILES ${ZV_MAN}/zentrova.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)
install(FILES ${ZV_MAN}/zentrova-tool.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tools)

add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND sh -c "gzip -9nc '${CMAKE_SOURCE_DIR}/content/packaging/changelog' > '${CMAKE_BINARY_DIR}/packaging/changelog.gz'"
  DEPENDS ${CMAKE_SOURCE_DIR}/content/packaging/changelog
  VERBATIM)
add_custom_target(zentrova-changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
# Every package carries its own copyright and changelog.
foreach(comp_pkg game:zentrova data:zentrova-data tools:zentrova-tools)
  string(REPLACE ":" ";" pair ${comp_pkg})
  list(GET pair 0 comp)
  list(GET pair 1 pkg)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${CMAKE_SOURCE_DIR}/content/packaging/copyright
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${pkg} COMPONENT ${comp})
endforeach()

if(ZV_BUILD_CONTENT)
  set(ZV_DATA ${CMAKE_BINARY_DIR}/data)
  # Everything the content build made, without what a run of the game or the
  # tool leaves in the build's data directory.
  install(
    DIRECTORY ${ZV_DATA}/
    DESTINATION ${ZV_INSTALL_DATADIR}
    COMPONENT data
    PATTERN "err" EXCLUDE
    PATTERN "rank.sav" EXCLUDE
    PATTERN "*.tmp*" EXCLUDE
    PATTERN "icons" EXCLUDE
    PATTERN "*.desktop" EXCLUDE)
  install(FILES ${ZV_DATA}/zentrova.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          RENAME ${ZV_APP_ID}.desktop COMPONENT game)
  install(DIRECTORY ${ZV_DATA}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons COMPONENT game)

  # Screenshots for the software centre, made by the replay tool from the
  # build's own data, and the metainfo that shows them. The runs play in a
  # scratch copy of the data with a settings folder of their own: a run writes
  # "rank.sav" and "err/" where it plays, and neither belongs in build/data
  # (the first ranking a player sees is the built-in one).
  set(ZV_SHOTS ${CMAKE_BINARY_DIR}/screenshots)
  set(ZV_SHOTS_RUN ${ZV_SHOTS}/run)
  add_custom_command(
    OUTPUT ${ZV_SHOTS}/title.png ${ZV_SHOTS}/stage.png
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${ZV_SHOTS_RUN} ${ZV_SHOTS}/config
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${ZV_DATA} ${ZV_SHOTS_RUN}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${ZV_SHOTS_RUN}/rank.sav ${ZV_SHOTS_RUN}/err
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZV_SHOTS}/config
    COMMAND ${CMAKE_COMMAND} -E chdir ${ZV_SHOTS_RUN}
            ${CMAKE_COMMAND} -E env ZENTROVA_CONFIG_DIR=${ZV_SHOTS}/config
            $<TARGET_FILE:zentrova-tool> replay --frames 660 --shot 650:${ZV_SHOTS}/title.png
            --state ${ZV_SHOTS}/title.json
    COMMAND ${CMAKE_COMMAND} -E chdir ${ZV_SHOTS_RUN}
            ${CMAKE_COMMAND} -E env ZENTROVA_CONFIG_DIR=${ZV_SHOTS}/config
            $<TARGET_FILE:zentrova-tool> replay --totals 1,0,0,0 --autoplay --frames 710
            --shot 700:${ZV_SHOTS}/stage.png --state ${ZV_SHOTS}/stage.json
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${ZV_SHOTS_RUN}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS zentrova-tool zentrova-data
    COMMENT "Taking the screenshots"
    VERBATIM)
  add_custom_target(zentrova-screenshots ALL DEPENDS ${ZV_SHOTS}/title.png ${ZV_SHOTS}/stage.png)
  install(FILES ${ZV_SHOTS}/title.png ${ZV_SHOTS}/stage.png
          DESTINATION ${ZV_INSTALL_DATADIR}/screenshots COMPONENT data)
  configure_file(${CMAKE_SOURCE_DIR}/content/packaging/zentrova.metainfo.xml.in
                 ${CMAKE_BINARY_DIR}/packaging/${ZV_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${ZV_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentrova)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Zentrova developers")
set(CPACK_PACKAGE_CONTACT "The Zentrova developers <zentrova@tavren.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game data tools)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZV_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# CPack indents the long descriptions and turns their empty lines into " .".
set(ZV_DEB_ABOUT
    "A scooping game for the mouse: creatures of three kinds spin and swim about
a night-time pond. Scoop up the ones under the cursor, carry them to the bowl
and deliver the kinds in their cyclic order to build chains that multiply the
score. Between the stages, story scenes, and at the end a top-ten ranking.")

set(CPACK_DEBIAN_GAME_PACKAGE_NAME zentrova)
set(CPACK_DEBIAN_GAME_PACKAGE_SHLIBDEPS ON)
# The glyphs come from whichever Japanese gothic fontconfig finds.
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS
    "zentrova-data (= ${PROJECT_VERSION}), fonts-ipafont-gothic | fonts-japanese-gothic")
# The help menu opens the manual and the homepage with xdg-open.
set(CPACK_DEBIAN_GAME_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_GAME_DESCRIPTION "scooping game of a moonlit pond
${ZV_DEB_ABOUT}")

set(CPACK_DEBIAN_DATA_PACKAGE_NAME zentrova-data)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DATA_DESCRIPTION "scooping game of a moonlit pond - data
${ZV_DEB_ABOUT}

This package holds the pictures, sounds, music, stories and manual of the
game, the same on every processor.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME zentrova-tools)
# A program for making changes, not a game of its own.
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SUGGESTS "zentrova")
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "scooping game of a moonlit pond - modder's tool
${ZV_DEB_ABOUT}

This package holds zentrova-tool, for authors of changes to the game: it packs
and lists archives, runs the game headless with scripted input and takes
screenshots, draws sprite scenes, decodes sounds and lays out message text.")
include(CPack)
