# quorvel_e2e_cases(VAR FILE...): the names of the test methods ("    def test_...") in the
# files, so that each scenario and case becomes a test of its own; a change to a file
# lists them again.
function(quorvel_e2e_cases var)
  set(cases)
  foreach(file ${ARGN})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    file(STRINGS ${file} lines REGEX "^    def test_")
    list(TRANSFORM lines REPLACE "^    def (test_[a-z0-9_]+).*" "\\1")
    list(APPEND cases ${lines})
  endforeach()
  set(${var} ${cases} PARENT_SCOPE)
endfunction()
