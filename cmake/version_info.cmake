# Gives an executable the version resource Windows shows in its file
# properties, from the one project version, so no .rc repeats the number.

# kc_add_version_info(TARGET DESCRIPTION text ORIGINAL_FILENAME name.exe)
function(kc_add_version_info target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION;ORIGINAL_FILENAME" "")
  if(NOT arg_DESCRIPTION OR NOT arg_ORIGINAL_FILENAME)
    message(FATAL_ERROR "kc_add_version_info(${target}): DESCRIPTION and "
                        "ORIGINAL_FILENAME are both required")
  endif()
  # Windows versions have four parts; the project's unset ones are zero.
  set(parts)
  foreach(part MAJOR MINOR PATCH TWEAK)
    if("${PROJECT_VERSION_${part}}" STREQUAL "")
      list(APPEND parts 0)
    else()
      list(APPEND parts ${PROJECT_VERSION_${part}})
    endif()
  endforeach()
  list(JOIN parts "," kc_version_commas)
  list(JOIN parts "." kc_version_dots)
  set(kc_description ${arg_DESCRIPTION})
  set(kc_original_filename ${arg_ORIGINAL_FILENAME})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/version_info.rc.in ${rc}
                 @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
