# Installing: the program folder under lib/zephkin/ (the executable and every data file,
# laid out as the build lays it out), a launcher in bin/, the menu entry, the icon and the
# AppStream metainfo. The Debian package is made from the same rules by CPack.

if(NOT UNIX OR APPLE)
  # Elsewhere the program folder itself is what gets installed.
  install(TARGETS zephkin RUNTIME DESTINATION .)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
  return()
endif()

set(APP_ID org.example.zephkin)
set(PROGRAM_INSTALL_DIR lib/zephkin)

install(TARGETS zephkin RUNTIME DESTINATION ${PROGRAM_INSTALL_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${PROGRAM_INSTALL_DIR})
# The README beside the program: the maker's links open it until there is a home page.
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${PROGRAM_INSTALL_DIR})

# The launcher is a relative link, so the tree can be installed under any prefix. The program
# finds its folder through the link's target.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/launcher)
file(CREATE_LINK ../${PROGRAM_INSTALL_DIR}/zephkin ${CMAKE_BINARY_DIR}/launcher/zephkin SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/launcher/zephkin DESTINATION bin)

install(FILES desktop/${APP_ID}.desktop DESTINATION share/applications)
install(FILES desktop/${APP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES desktop/${APP_ID}.metainfo.xml DESTINATION share/metainfo)

file(READ desktop/copyright copyright_head)
file(READ data/2/COPYING-scowl.txt copyright_scowl)
file(WRITE ${CMAKE_BINARY_DIR}/copyright "${copyright_head}${copyright_scowl}")
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION share/doc/zephkin)

# The Debian package. Library dependencies come from dpkg-shlibdeps; the rest are things the
# program loads at run time, which dpkg-shlibdeps cannot see: the SQLite driver, the fonts it
# draws with, and the sound libraries of the keystroke sounds (PulseAudio, or ALSA when no
# sound server runs), with a sound server recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zephkin)
set(CPACK_PACKAGE_VENDOR "The Zephkin developers")
set(CPACK_PACKAGE_CONTACT "The Zephkin developers <hello@zephkin.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing tutor for the English keyboard")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Zephkin teaches touch typing in four practice modes: sixteen key-position"
    "lessons on an on-screen keyboard, word drills with a hint for the next key,"
    "whole articles typed page by page, and a game in which falling letters are"
    "shot down by typing them. Speed, accuracy and time are shown as you type,"
    "and every mode remembers where you stopped.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zephkin.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-dejavu-core, libpulse0, libasound2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, qt6-wayland, fonts-wqy-microhei")
include(CPack)
