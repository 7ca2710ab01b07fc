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

# The project has no mail address of its own yet: example.org is reserved and reaches
# no one. A packager gives the real one with -DORVA_PACKAGE_MAINTAINER=...
set(ORVA_PACKAGE_MAINTAINER "The ORVA developers <orva@example.org>" CACHE STRING
    "the package's maintainer, a name and a mail address")

set(CPACK_PACKAGE_NAME orva)
set(CPACK_PACKAGE_VERSION ${ORVA_VERSION})
set(CPACK_PACKAGE_VENDOR "The ORVA developers")
set(CPACK_PACKAGE_CONTACT "${ORVA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "applies one operation to every selected file and directory of a tree")
# Lines of at most 80 characters, as Debian wants them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "ORVA lists a directory tree (with CRC16 or CRC32 of the files), adds up its\n"
    "sizes, draws it, copies or updates it into a destination, verifies it against\n"
    "a copy, deletes it, changes attributes or dates, or runs a command for every\n"
    "selected entry. It asks before it acts, stops at once on ESC and reports its\n"
    "result through the exit code. It is a Windows console program; on Linux it\n"
    "runs on its own small Windows layer.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)

if(WIN32)
  # Unpacked, the zip gives ORVA.EXE beside its README and licence, in one folder.
  install(FILES README.md LICENSE DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME orva-${ORVA_VERSION}-windows-x64)
else()
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
  # A native package's changelog, compressed as Debian wants it. Its latest entry must
  # be the version the program prints.
  file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/cmake/changelog.in changelog_head LIMIT_COUNT 1)
  if(NOT changelog_head MATCHES "^orva \\(${ORVA_VERSION}\\) ")
    message(FATAL_ERROR "cmake/changelog.in has no entry for version ${ORVA_VERSION} at its top")
  endif()
  configure_file(cmake/changelog.in changelog.txt @ONLY)
  add_custom_command(OUTPUT changelog.gz
    COMMAND ${CMAKE_COMMAND} -E copy changelog.txt changelog
    COMMAND ${GZIP} -9nf changelog
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.txt VERBATIM)
  add_custom_target(package_changelog ALL DEPENDS changelog.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
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
