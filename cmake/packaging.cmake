# Installation of the manual page and the Debian package.

set(CIPHERS_MANPAGE ${PROJECT_SOURCE_DIR}/doc/ciphers.1)

# Debian installs manual pages gzipped. gzip -n leaves the name and time stamp out of the
# archive, so the same page always gives the same bytes. Without gzip the page goes in plain.
find_program(GZIP_EXECUTABLE gzip)
if(GZIP_EXECUTABLE)
  set(manpage_dir ${PROJECT_BINARY_DIR}/man)
  set(CIPHERS_INSTALLED_MANPAGE ${manpage_dir}/ciphers.1.gz)
  add_custom_command(
    OUTPUT ${CIPHERS_INSTALLED_MANPAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${manpage_dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${CIPHERS_MANPAGE} ${manpage_dir}/ciphers.1
    COMMAND ${GZIP_EXECUTABLE} -9nf ${manpage_dir}/ciphers.1
    DEPENDS ${CIPHERS_MANPAGE}
    COMMENT "Compressing the manual page"
    VERBATIM)
  add_custom_target(manpage ALL DEPENDS ${CIPHERS_INSTALLED_MANPAGE})
else()
  set(CIPHERS_INSTALLED_MANPAGE ${CIPHERS_MANPAGE})
endif()
install(FILES ${CIPHERS_INSTALLED_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ciphers)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ciphers developers <ciphers@localhost>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
# The summary becomes the first line of the package description, the text below it the rest.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
# Debian shows the description as it stands, so its lines are kept short.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "An interactive console program that shows how three text ciphers work.\n"
       "From a menu the user picks the Vigenere cipher with a key of their own,\n"
       "ROT13, or a personal method that turns any text into a string of digits\n"
       "with random variation. For the line of text typed, the program prints\n"
       "the ciphertext and the text decrypted back from it, followed by a short\n"
       "note on the method.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps (from dpkg-dev) finds the C and C++ runtime packages the executable links to.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The debugging information of a RelWithDebInfo build stays out of the package.
set(CPACK_STRIP_FILES ON)

include(CPack)
