# The Windows zip: the programs, a short read-me and an example settings file at the top of one folder,
# quorvel-<version>-windows/, which the user unpacks anywhere and runs from there.
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in ${PROJECT_BINARY_DIR}/README.txt @ONLY
               NEWLINE_STYLE CRLF)
install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)
# An example settings file under a name the program does not read: a user copies it to
# quorvel.ini to use it.
install(FILES ${PROJECT_SOURCE_DIR}/data/quorvel.ini DESTINATION . RENAME quorvel.example.ini)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "Kelvane SoftWares")
set(CPACK_PACKAGE_FILE_NAME "quorvel-${PROJECT_VERSION}-windows")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
