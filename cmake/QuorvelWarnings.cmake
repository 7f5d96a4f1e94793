# Warning flags shared by every target of the project.
function(quorvel_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
    if(QUORVEL_WERROR)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
      -Wcast-qual -Wformat=2 -Wimplicit-fallthrough)
    if(QUORVEL_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()

# A library of the project: sources given, include root at the repository top.
function(quorvel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  quorvel_warnings(${name})
endfunction()
