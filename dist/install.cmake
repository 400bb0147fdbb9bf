# The install tree and the Debian package.
#   bin/gulper                           the launcher: runs the game from the user's own folder
#   bin/gulper-sim                       the headless simulator
#   libexec/gulper/gulper                the game itself
#   share/gulper/data/                   the shipped settings and pictures
#   share/applications/gulper.desktop    the desktop entry
#   share/icons/hicolor/NxN/apps/        the icons, made from the Gulper's own picture
include(GNUInstallDirs)

set(GULPER_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/gulper)
set(GULPER_DATA_DIR ${CMAKE_INSTALL_DATADIR}/gulper)
configure_file(${CMAKE_CURRENT_LIST_DIR}/gulper.in ${CMAKE_BINARY_DIR}/dist/gulper @ONLY)

install(TARGETS gulper RUNTIME DESTINATION ${GULPER_GAME_DIR})
install(TARGETS gulper-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${CMAKE_BINARY_DIR}/dist/gulper DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${GULPER_DATA_DIR}/data
        FILES_MATCHING PATTERN "config.txt" PATTERN "*.tga")
install(FILES ${CMAKE_CURRENT_LIST_DIR}/gulper.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/gulper)

# The icons are drawn at build time from the Gulper facing right.
set(GULPER_ICON_SIZES 16 22 24 32 48 64 128 256)
set(GULPER_ICON_PICTURE ${PROJECT_SOURCE_DIR}/data/gulperright.tga)
set(GULPER_ICON_FILES)
foreach(size IN LISTS GULPER_ICON_SIZES)
  list(APPEND GULPER_ICON_FILES ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps/gulper.png)
endforeach()
add_custom_command(
  OUTPUT ${GULPER_ICON_FILES}
  COMMAND gulper-make-icons ${GULPER_ICON_PICTURE} ${CMAKE_BINARY_DIR}/icons ${GULPER_ICON_SIZES}
  DEPENDS gulper-make-icons ${GULPER_ICON_PICTURE}
  COMMENT "Drawing the icons from the Gulper's picture")
add_custom_target(gulper-icons ALL DEPENDS ${GULPER_ICON_FILES})
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# cpack -G DEB in the build folder. The libraries the programs link give most dependencies
# (dpkg-shlibdeps, from dpkg-dev); the rest are what the game opens at run time: a font, the OpenGL library SDL loads, and
# Mesa's drivers for the OpenGL window where the machine has no other.
set(CPACK_PACKAGE_NAME gulper)
set(CPACK_PACKAGE_VENDOR "Gulper developers")
set(CPACK_PACKAGE_CONTACT "Gulper developers <gulper@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "maze-chase arcade game with a built-in playing agent")
set(CPACK_PACKAGE_DESCRIPTION
    "The Gulper runs through a maze, eats dots and power pills and is chased by four ghosts.\n\
It can be steered by the arrow keys or by a built-in agent that explains its choices on the\n\
console. Includes gulper-sim, which plays many games headless and reports how the agent did.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-dejavu-core | fonts-freefont-ttf | fonts-liberation2, libgl1, libgl1-mesa-dri")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
