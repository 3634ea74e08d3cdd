# Installing and packaging the trainer (included from the top CMakeLists.txt).
#
#   lib/ladoton/ladoton, note.txt, interv.txt   the program and its instructions,
#                                               side by side as it expects them
#   bin/ladoton                                 a relative link to the program
#   share/applications/ladoton.desktop, share/icons/hicolor/NxN/apps/ladoton.png,
#   share/metainfo/org.example.ladoton.metainfo.xml
#
# Only the trainer is installed: the gallery, the probe, the tests and the
# benchmarks stay in the build tree.

include(GNUInstallDirs)

# The desktop entry and the icon are named after the command; the AppStream
# component needs a reverse-DNS id, that of the project's web address.
set(LADOTON_APP_ID ladoton)
set(LADOTON_COMPONENT_ID org.example.ladoton)
set(LADOTON_HOMEPAGE "https://ladoton.example.org" CACHE STRING
  "The project's web address, written into the package and the AppStream data")
set(LADOTON_MAINTAINER "Ладотон developers <ladoton@example.org>" CACHE STRING
  "Maintainer of the Debian package")
set(LADOTON_ICON_SIZES 16 24 32 48 64 128 256)
set(LADOTON_PRIVATE_DIR lib/ladoton)

# The icon is rendered from the program's own drawing at every size the icon
# theme gets, so it never drifts from what the window shows.
add_executable(render-icon tools/render-icon/main.cpp app/AppIcon.cpp)
target_include_directories(render-icon PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(render-icon PRIVATE Qt6::Gui)

set(icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(icon_pngs)
foreach(size IN LISTS LADOTON_ICON_SIZES)
  list(APPEND icon_pngs ${icon_dir}/${size}x${size}/apps/${LADOTON_APP_ID}.png)
endforeach()
# No leak report at exit: a sanitizer build would otherwise fail its build here.
add_custom_command(OUTPUT ${icon_pngs}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
    $<TARGET_FILE:render-icon> ${icon_dir} ${LADOTON_APP_ID} ${LADOTON_ICON_SIZES}
  DEPENDS render-icon
  COMMENT "Rendering the program icon at ${LADOTON_ICON_SIZES} pixels"
  VERBATIM)
add_custom_target(ladoton-icons ALL DEPENDS ${icon_pngs})

# Grabs windows of the X display for scripts/screenshots.sh; built on demand.
add_executable(screen-grab EXCLUDE_FROM_ALL tools/screen-grab/main.cpp)
target_link_libraries(screen-grab PRIVATE Qt6::Gui)

configure_file(data/ladoton.metainfo.xml.in
  ${CMAKE_CURRENT_BINARY_DIR}/${LADOTON_COMPONENT_ID}.metainfo.xml @ONLY)

# The program looks for its instructions beside its real path, so bin/ holds
# only a link; relative, so the tree can be staged (DESTDIR) or packaged.
file(RELATIVE_PATH bin_link_target
  /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${LADOTON_PRIVATE_DIR}/ladoton)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/install-bin)
file(CREATE_LINK ${bin_link_target} ${CMAKE_CURRENT_BINARY_DIR}/install-bin/ladoton SYMBOLIC)

install(TARGETS ladoton RUNTIME DESTINATION ${LADOTON_PRIVATE_DIR})
install(FILES ${data_files} DESTINATION ${LADOTON_PRIVATE_DIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/install-bin/ladoton DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/${LADOTON_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${LADOTON_COMPONENT_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN LISTS LADOTON_ICON_SIZES)
  install(FILES ${icon_dir}/${size}x${size}/apps/${LADOTON_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The Debian package: `cpack -G DEB` in a Release build.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ladoton)
set(CPACK_PACKAGE_VENDOR "Ладотон developers")
set(CPACK_PACKAGE_CONTACT "${LADOTON_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ear trainer for notes and intervals")
# Lines as dpkg shows them; CPack indents them for the control file.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Ладотон trains the musical ear on a one-octave piano of diamond-shaped"
  "keys, played with the mouse or the computer keyboard. In the notes"
  "exercise it plays random notes to be played back in order; in the"
  "intervals exercise it plays two notes and asks how many semitones lie"
  "between them. The notes sound through a built-in General MIDI synthesizer"
  "or through a MIDI output port of the system.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${LADOTON_HOMEPAGE}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LADOTON_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The shared libraries come from dpkg-shlibdeps; the built-in synthesizer needs
# a General MIDI SoundFont at one of the paths it looks at, and the windows'
# serif text is drawn in Liberation Serif.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "timgm6mb-soundfont | fluid-soundfont-gm | musescore-general-soundfont-small, fonts-liberation2")
include(CPack)
