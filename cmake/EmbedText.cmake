# Compiles a text file in unchanged: a generated header holds its exact bytes as a
# std::string_view, so scripts can live in their own .js files.
#
#   include(${CMAKE_SOURCE_DIR}/cmake/EmbedText.cmake)
#   quorin_embed_text(TARGET SOURCE HEADER NAME)
#
# adds ${CMAKE_BINARY_DIR}/generated/HEADER, defining quorin::embedded::NAME, to TARGET.
# Run with -P, the file writes one such header (-DSOURCE= -DHEADER= -DNAME=).

if(CMAKE_SCRIPT_MODE_FILE)
  file(READ "${SOURCE}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  # Every byte as an escape: nothing in the file can end the literal early.
  string(REGEX REPLACE "(..)" "\\\\x\\1" escaped "${hex}")
  file(WRITE "${HEADER}" "// Generated from ${SOURCE}; edit that file instead.\n#pragma once\n\n#include <string_view>\n\n"
    "namespace quorin::embedded {\ninline constexpr std::string_view ${NAME} { \"${escaped}\", ${size} };\n}\n")
  return()
endif()

function(quorin_embed_text target source header name)
  set(output ${CMAKE_BINARY_DIR}/generated/${header})
  cmake_path(ABSOLUTE_PATH source OUTPUT_VARIABLE input)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${input} -DHEADER=${output} -DNAME=${name} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    DEPENDS ${input} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Embedding ${source}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated)
endfunction()
