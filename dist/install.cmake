# The install tree and the Debian package.
#   games/ or bin/ (see GULPER_INSTALL_GAMESDIR below):
#     gulper                             the launcher: runs the game from the user's own folder
#     gulper-watch                       a link to the launcher: runs the viewer the same way
#     gulper-sim                         the headless simulator
#   libexec/gulper/gulper, gulper-watch  the game and the viewer themselves
#   share/gulper/data/                   the shipped settings and pictures
#   share/applications/, share/metainfo/ the desktop entry and the software-centre entry
#   share/icons/hicolor/NxN/apps/        the icons, made from the Gulper's own picture
#   share/man/man6/                      the manual pages
#   share/doc/gulper/                    README, copyright, changelog.Debian.gz
#   share/lintian/overrides/gulper       what lintian need not say of the package, and why
include(GNUInstallDirs)

# Who answers for the package: its Maintainer field, the changelog's signature and the copyright
# file's contact. A packager sets their own with -DGULPER_MAINTAINER="Name <address>".
set(GULPER_MAINTAINER "Gulper developers <gulper-devel@gulper.org>"
    CACHE STRING "The package's maintainer, as \"Name <address>\"")
# Where the programs go under the prefix. Empty: games/ when installing to /usr (Debian's place
# for games, and what the package holds), bin/ under any other prefix, so that ~/.local/bin or
# /usr/local/bin puts them on the PATH.
set(GULPER_INSTALL_GAMESDIR "" CACHE STRING "Where the programs go under the prefix (empty: games under /usr, else bin)")

# Where the project lives, and its committed files as the web serves them (the software-centre
# entry's screenshot): a packager of a fork sets their own.
set(GULPER_HOMEPAGE https://github.com/gulper/gulper CACHE STRING "The project's home page")
set(GULPER_HOMEPAGE_RAW https://raw.githubusercontent.com/gulper/gulper/main
    CACHE STRING "The committed files as the web serves them")
set(GULPER_RELEASE_DATE 2026-12-08)
set(GULPER_DEB_RELEASE 1)
set(GULPER_DEB_VERSION ${PROJECT_VERSION}-${GULPER_DEB_RELEASE})
set(GULPER_SUMMARY "maze-chase arcade game with a built-in playing agent")
# Lines within 80 columns, as the package's long description wants them.
set(GULPER_DESCRIPTION
    "The Gulper runs through a maze, eats dots and power pills and is chased by\n\
four ghosts. It can be steered by the arrow keys or by a built-in agent that\n\
explains its choices on the console. gulper-watch shows any seeded game with\n\
the agent's plan drawn over the board; gulper-sim plays many games headless\n\
and reports how the agent did.")

set(GULPER_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/gulper)
set(GULPER_DATA_DIR ${CMAKE_INSTALL_DATADIR}/gulper)
set(GULPER_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/gulper)
set(GULPER_DIST ${CMAKE_BINARY_DIR}/dist)

if(GULPER_INSTALL_GAMESDIR)
  set(gulper_programs_dir ${GULPER_INSTALL_GAMESDIR})
else()
  # Decided when installing, from the prefix then in force: cpack installs to /usr.
  install(CODE [[
    if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
      set(GULPER_PROGRAMS_DIR games)
    else()
      set(GULPER_PROGRAMS_DIR bin)
    endif()]])
  set(gulper_programs_dir "\${GULPER_PROGRAMS_DIR}")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/gulper.in ${GULPER_DIST}/gulper @ONLY)
file(CREATE_LINK gulper ${GULPER_DIST}/gulper-watch SYMBOLIC)
install(TARGETS gulper gulper-watch RUNTIME DESTINATION ${GULPER_GAME_DIR})
install(TARGETS gulper-sim RUNTIME DESTINATION ${gulper_programs_dir})
install(PROGRAMS ${GULPER_DIST}/gulper DESTINATION ${gulper_programs_dir})
install(FILES ${GULPER_DIST}/gulper-watch DESTINATION ${gulper_programs_dir})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${GULPER_DATA_DIR}/data
        FILES_MATCHING PATTERN "config.txt" PATTERN "*.tga")

# The desktop entry and the software-centre entry, named by the same id.
set(GULPER_APP_ID io.github.gulper.gulper)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${GULPER_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
string(SUBSTRING "${GULPER_SUMMARY}" 0 1 first)
string(SUBSTRING "${GULPER_SUMMARY}" 1 -1 rest)
string(TOUPPER "${first}" first)
set(GULPER_METAINFO_SUMMARY "${first}${rest}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/${GULPER_APP_ID}.metainfo.xml.in
               ${GULPER_DIST}/${GULPER_APP_ID}.metainfo.xml @ONLY)
install(FILES ${GULPER_DIST}/${GULPER_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# gzip -9n: as Debian wants them, the same bytes from every build.
function(gulper_gzip source target)
  execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${target} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip of ${source} failed")
  endif()
endfunction()

# The manual pages.
file(MAKE_DIRECTORY ${GULPER_DIST}/man)
foreach(page gulper gulper-watch gulper-sim)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/man/${page}.6.in ${GULPER_DIST}/man/${page}.6 @ONLY)
  gulper_gzip(${GULPER_DIST}/man/${page}.6 ${GULPER_DIST}/man/${page}.6.gz)
  install(FILES ${GULPER_DIST}/man/${page}.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endforeach()

# The documents: the copyright file in Debian's machine-readable form, its licence text taken
# from LICENSE, and the package's changelog.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
string(REGEX REPLACE "^.*\n\n(Permission )" "\\1" licence "${licence}")
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " GULPER_LICENSE_PARAGRAPH " ${licence}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${GULPER_DIST}/copyright @ONLY)
execute_process(COMMAND date -u -R -d ${GULPER_RELEASE_DATE} OUTPUT_VARIABLE GULPER_RELEASE_DATE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${GULPER_DIST}/changelog @ONLY)
gulper_gzip(${GULPER_DIST}/changelog ${GULPER_DIST}/changelog.Debian.gz)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${GULPER_DIST}/copyright
              ${GULPER_DIST}/changelog.Debian.gz DESTINATION ${GULPER_DOC_DIR})

# What lintian is told to leave alone, each with its reason (dist/lintian-overrides).
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME gulper)

# The Python module (python/), when built, goes where Debian's python3 finds modules:
# lib/python3/dist-packages under the prefix. The package then needs the interpreter it was
# built for and NumPy; the description says it is there.
if(GULPER_PYTHON_DEPENDS)
  string(APPEND GULPER_DESCRIPTION "\n\
The gulper Python module plays the game inside Python: a step per decision,\n\
whole-game snapshots for look-ahead, the shipped agents and the game's frames.")
endif()

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
set(CPACK_PACKAGE_CONTACT "${GULPER_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${GULPER_SUMMARY}")
set(CPACK_PACKAGE_DESCRIPTION "${GULPER_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${GULPER_DEB_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${GULPER_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-dejavu-core | fonts-freefont-ttf | fonts-liberation2, libgl1, libgl1-mesa-dri, libjs-chart.js")
if(GULPER_PYTHON_DEPENDS)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${GULPER_PYTHON_DEPENDS}")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
