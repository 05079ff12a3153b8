# Installation of the manual page, the licence and changelog, and the Debian package.
# Include this file after install(TARGETS ciphers): the stripped install edits the installed file.

# Debian installs manual pages and changelogs gzipped. gzip -n leaves the name and time stamp
# out of the archive, so the same file always gives the same bytes. Without gzip the file goes
# in plain. Sets OUTPUT_VAR to the file to install.
find_program(GZIP_EXECUTABLE gzip)
function(ciphers_compressed source output_dir output_var)
  if(NOT GZIP_EXECUTABLE)
    set(${output_var} ${source} PARENT_SCOPE)
    return()
  endif()
  get_filename_component(name ${source} NAME)
  set(compressed ${output_dir}/${name}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output_dir}/${name}
    COMMAND ${GZIP_EXECUTABLE} -9nf ${output_dir}/${name}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
  set(${output_var} ${compressed} PARENT_SCOPE)
endfunction()

ciphers_compressed(${PROJECT_SOURCE_DIR}/doc/ciphers.1 ${PROJECT_BINARY_DIR}/man installed_manpage)
ciphers_compressed(${PROJECT_SOURCE_DIR}/doc/changelog ${PROJECT_BINARY_DIR}/doc
                   installed_changelog)
add_custom_target(compressed_docs ALL DEPENDS ${installed_manpage} ${installed_changelog})
install(FILES ${installed_manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The copyright file in Debian's machine-readable format, made from LICENSE so that the two
# never differ: its Copyright field is the holder line, its License paragraph the licence text
# indented by one space, with " ." for each empty line.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
if(NOT license MATCHES "Copyright \\(c\\) ([^\n]+)\n+(Permission.*[^\n])\n*$")
  message(FATAL_ERROR "LICENSE has no copyright line followed by the licence text")
endif()
set(CIPHERS_COPYRIGHT ${CMAKE_MATCH_1})
string(REPLACE "\n\n" "\n.\n" license_text "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " CIPHERS_LICENSE_TEXT " ${license_text}")
configure_file(${PROJECT_SOURCE_DIR}/doc/copyright.in ${PROJECT_BINARY_DIR}/doc/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/doc/copyright ${installed_changelog}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The bash completion, where bash-completion loads it from on the first completion of ciphers.
install(FILES ${PROJECT_SOURCE_DIR}/doc/ciphers.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ciphers)

# A stripped install (cmake --install --strip, and every package) also drops the compiler's
# version notes in .comment, as Debian's own packages do.
if(CMAKE_OBJCOPY)
  install(CODE "
    set(program \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:ciphers>\")
    if(CMAKE_INSTALL_DO_STRIP AND EXISTS \"\${program}\")
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment \"\${program}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ciphers)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Whoever builds a package to hand out sets the maintainer, for instance
# -DCPACK_PACKAGE_CONTACT="Name <name@example.org>". Until then the package names a placeholder
# in the reserved .invalid domain, which no mail can reach.
set(CIPHERS_PLACEHOLDER_CONTACT "ciphers packager <packager@ciphers.invalid>")
set(CPACK_PACKAGE_CONTACT ${CIPHERS_PLACEHOLDER_CONTACT}
    CACHE STRING "Maintainer of the Debian package, as: Name <address>")
if(CPACK_PACKAGE_CONTACT STREQUAL CIPHERS_PLACEHOLDER_CONTACT AND NOT CPACK_DEBIAN_PACKAGE_MAINTAINER)
  message(STATUS "Package maintainer: the placeholder ${CPACK_PACKAGE_CONTACT}; "
                 "set CPACK_PACKAGE_CONTACT before handing the package out")
endif()
# The summary becomes the first line of the package description, the text below it the rest.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
# Debian shows the description as it stands, so its lines are kept short.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "An interactive console program that shows how three text ciphers work.\n"
       "From a menu the user picks the Vigenere cipher with a key of their own,\n"
       "ROT13, or a personal method that turns any text into a string of digits\n"
       "with random variation. For the line of text typed, the program prints\n"
       "the ciphertext and the text decrypted back from it, followed by a short\n"
       "note on the method. The same methods also run as filters over files and\n"
       "pipes, to encrypt or decrypt any text, however long.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps (from dpkg-dev) finds the C and C++ runtime packages the executable links to.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The debugging information of a RelWithDebInfo build stays out of the package.
set(CPACK_STRIP_FILES ON)

include(CPack)
