# The Windows download, made by `cpack -G ZIP` in a cross build: ciphers-1.0.0-win64.zip holds one
# folder with ciphers.exe, README.txt, LICENSE.txt and the manual page as plain text, MANUAL.txt.
# The texts get the .txt that Windows opens them by, and CRLF line ends.

find_program(GROFF_EXECUTABLE groff REQUIRED)
set(windows_texts_dir ${PROJECT_BINARY_DIR}/windows)
set(windows_text_script ${CMAKE_CURRENT_LIST_DIR}/windows_text.cmake)

set(windows_texts)
function(add_windows_text name input)
  set(output ${windows_texts_dir}/${name})
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} ${ARGN} -P ${windows_text_script}
    DEPENDS ${input} ${windows_text_script}
    COMMENT "Writing ${name}"
    VERBATIM)
  set(windows_texts ${windows_texts} ${output} PARENT_SCOPE)
endfunction()

add_windows_text(README.txt ${PROJECT_SOURCE_DIR}/README.md)
add_windows_text(LICENSE.txt ${PROJECT_SOURCE_DIR}/LICENSE)
add_windows_text(MANUAL.txt ${PROJECT_SOURCE_DIR}/doc/ciphers.1 -DGROFF=${GROFF_EXECUTABLE})
add_custom_target(windows_texts ALL DEPENDS ${windows_texts})
install(FILES ${windows_texts} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ciphers)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
# The debugging information of a RelWithDebInfo build stays out of the download.
set(CPACK_STRIP_FILES ON)
include(CPack)
