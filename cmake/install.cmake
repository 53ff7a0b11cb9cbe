# Installing the game as a desktop program, and its Debian package.
include(GNUInstallDirs)

set(ZV_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/zentrova)
# The desktop and software-centre id, and the page where the metainfo's
# screenshots (the ones made here, installed with the data) are published.
set(ZV_APP_ID example.tavren.Zentrova)
set(ZV_HOMEPAGE "https://www.tavren.example/zentrova/")
file(RELATIVE_PATH ZV_DATADIR_RELATIVE ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/zentrova)
target_compile_definitions(
  zentrova PRIVATE ZV_DATADIR_RELATIVE="${ZV_DATADIR_RELATIVE}"
                   ZV_DATADIR_ABSOLUTE="${CMAKE_INSTALL_FULL_DATADIR}/zentrova"
                   ZV_VERSION="${PROJECT_VERSION}")
target_compile_definitions(zentrova-tool PRIVATE ZV_VERSION="${PROJECT_VERSION}")

install(TARGETS zentrova zentrova-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages from the programs' own --help texts.
find_program(ZV_HELP2MAN help2man)
find_program(ZV_GZIP gzip)
if(ZV_HELP2MAN AND ZV_GZIP)
  set(ZV_MAN ${CMAKE_BINARY_DIR}/man)
  add_custom_command(
    OUTPUT ${ZV_MAN}/zentrova.6.gz ${ZV_MAN}/zentrova-tool.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZV_MAN}
    COMMAND ${ZV_HELP2MAN} -N -s 6 -n "scooping game of a moonlit pond" -o ${ZV_MAN}/zentrova.6
            $<TARGET_FILE:zentrova>
    COMMAND ${ZV_HELP2MAN} -N -s 1 -n "Zentrova developer and modder tool"
            -o ${ZV_MAN}/zentrova-tool.1 $<TARGET_FILE:zentrova-tool>
    COMMAND ${ZV_GZIP} -9nf ${ZV_MAN}/zentrova.6 ${ZV_MAN}/zentrova-tool.1
    DEPENDS zentrova zentrova-tool
    COMMENT "Making the manual pages"
    VERBATIM)
  add_custom_target(zentrova-man ALL DEPENDS ${ZV_MAN}/zentrova.6.gz ${ZV_MAN}/zentrova-tool.1.gz)
  install(FILES ${ZV_MAN}/zentrova.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES ${ZV_MAN}/zentrova-tool.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(ZV_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/zentrova)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND sh -c "gzip -9nc '${CMAKE_SOURCE_DIR}/content/packaging/changelog' > '${CMAKE_BINARY_DIR}/packaging/changelog.gz'"
  DEPENDS ${CMAKE_SOURCE_DIR}/content/packaging/changelog
  VERBATIM)
add_custom_target(zentrova-changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz
              ${CMAKE_SOURCE_DIR}/content/packaging/copyright DESTINATION ${ZV_DOCDIR})

if(ZV_BUILD_CONTENT)
  set(ZV_DATA ${CMAKE_BINARY_DIR}/data)
  # Everything the content build made, without what a run of the game or the
  # tool leaves in the build's data directory.
  install(
    DIRECTORY ${ZV_DATA}/
    DESTINATION ${ZV_INSTALL_DATADIR}
    PATTERN "err" EXCLUDE
    PATTERN "rank.sav" EXCLUDE
    PATTERN "*.tmp*" EXCLUDE
    PATTERN "icons" EXCLUDE
    PATTERN "*.desktop" EXCLUDE)
  install(FILES ${ZV_DATA}/zentrova.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          RENAME ${ZV_APP_ID}.desktop)
  install(DIRECTORY ${ZV_DATA}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

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
          DESTINATION ${ZV_INSTALL_DATADIR}/screenshots)
  configure_file(${CMAKE_SOURCE_DIR}/content/packaging/zentrova.metainfo.xml.in
                 ${CMAKE_BINARY_DIR}/packaging/${ZV_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${ZV_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentrova)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Zentrova developers")
set(CPACK_PACKAGE_CONTACT "The Zentrova developers <zentrova@tavren.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scooping game of a moonlit pond")
set(CPACK_PACKAGE_DESCRIPTION
    "A scooping game for the mouse: creatures of three kinds spin and swim about
a night-time pond. Scoop up the ones under the cursor, carry them to the bowl
and deliver the kinds in their cyclic order to build chains that multiply the
score. Between the stages, story scenes, and at the end a top-ten ranking.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debian keeps the "games" section for programs in /usr/games; this one is
# installed as bin/zentrova beside its tool.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The glyphs come from the Japanese gothic that fontconfig finds.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
