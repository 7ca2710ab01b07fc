# The release files: a zip of ORVA.EXE for Windows users, a Debian package on Linux.
#
# The version is the one the program prints, read from its texts so that it is written
# down once.
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/src/messages/driver_texts.cpp version_line
     REGEX "VERSION_TEXT = \"[0-9.]+\"")
string(REGEX MATCH "[0-9]+\\.[0-9]+" ORVA_VERSION "${version_line}")
if(NOT ORVA_VERSION)
  message(FATAL_ERROR "no version found in src/messages/driver_texts.cpp")
endif()

set(CPACK_PACKAGE_NAME orva)
set(CPACK_PACKAGE_VERSION ${ORVA_VERSION})
set(CPACK_PACKAGE_VENDOR "The ORVA developers")
set(CPACK_PACKAGE_CONTACT "The ORVA developers <orva@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "applies one operation to every selected file and directory of a tree")
set(CPACK_PACKAGE_DESCRIPTION
    "ORVA lists a directory tree (with CRC16 or CRC32 of the files), adds up its sizes, draws it, copies or updates it into a destination, verifies it against a copy, deletes it, changes attributes or dates, or runs a command for every selected entry. It asks before it acts, stops at once on ESC and reports its result through the exit code. It is a Windows console program; on Linux it runs on its own small Windows layer.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)

if(WIN32)
  # Unpacked, the zip gives ORVA.EXE beside its README and licence, in one folder.
  install(FILES README.md LICENSE DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME orva-${ORVA_VERSION}-windows-x64)
else()
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The libraries the program links are found by dpkg-shlibdeps, not listed by hand.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
