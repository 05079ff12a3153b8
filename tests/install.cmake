# The manual page, the install tree and the bash completion. The first two skip (status 77)
# where groff is missing.
set(check_install ${CMAKE_CURRENT_SOURCE_DIR}/check_install.sh)

add_test(NAME install.manpage_renders
         COMMAND sh ${check_install} page ${PROJECT_SOURCE_DIR}/doc/ciphers.1 ${PROJECT_VERSION})

add_test(NAME install.tree
         COMMAND sh ${check_install} tree ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR} ${CMAKE_INSTALL_BINDIR}
                 ${CMAKE_INSTALL_MANDIR} ${CMAKE_INSTALL_DOCDIR} ${PROJECT_VERSION} $<CONFIG>)

# The bash completion completes the methods, their options (those that --help names) and files.
add_test(NAME install.bash_completion
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/check_completion.sh
                 ${PROJECT_SOURCE_DIR}/doc/ciphers.bash-completion $<TARGET_FILE:ciphers>)

set_tests_properties(install.manpage_renders install.tree install.bash_completion
                     PROPERTIES LABELS install SKIP_RETURN_CODE 77)
