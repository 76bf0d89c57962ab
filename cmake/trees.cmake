# The build trees are the configure presets of CMakePresets.json, each in its binaryDir; this file
# is the one reader of that list, for CMake and for the scripts alike.
#
# Included, it sets PORTPOKE_TREES (the presets in the order they are configured: the main tree,
# whose ctest runs every tree's tests, last), PORTPOKE_TREE_DIR_<preset> (its build tree) and
# PORTPOKE_TREE_RELEASED_<preset> (whether its packages go into the release: the preset's
# PORTPOKE_RELEASE, ON where it says nothing).
#
# Run as a script (cmake -P cmake/trees.cmake), it prints "<preset> <build tree> <ON|OFF>" a line
# each, in the same order.
cmake_minimum_required(VERSION 3.25)

function(portpoke_preset_field json index field result)
  string(JSON value ERROR_VARIABLE missing GET "${json}" configurePresets ${index} ${field})
  if(missing)
    set(value "")
  endif()
  set(${result} "${value}" PARENT_SCOPE)
endfunction()

# A field of a preset, or of the preset it inherits from (a single name, as ours do).
function(portpoke_preset_lookup json name field result)
  string(JSON count LENGTH "${json}" configurePresets)
  math(EXPR last "${count} - 1")
  foreach(index RANGE ${last})
    string(JSON this GET "${json}" configurePresets ${index} name)
    if(this STREQUAL name)
      portpoke_preset_field("${json}" ${index} "${field}" value)
      if(value STREQUAL "")
        portpoke_preset_field("${json}" ${index} inherits parent)
        if(NOT parent STREQUAL "")
          portpoke_preset_lookup("${json}" "${parent}" "${field}" value)
        endif()
      endif()
      set(${result} "${value}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${result} "" PARENT_SCOPE)
endfunction()

function(portpoke_read_trees source)
  file(READ ${source}/CMakePresets.json json)
  string(JSON count LENGTH "${json}" configurePresets)
  math(EXPR last "${count} - 1")
  set(others)
  set(main)
  foreach(index RANGE ${last})
    string(JSON name GET "${json}" configurePresets ${index} name)
    portpoke_preset_field("${json}" ${index} hidden hidden)
    if(hidden)
      continue()
    endif()
    portpoke_preset_lookup("${json}" ${name} binaryDir dir)
    string(REPLACE "\${sourceDir}" "${source}" dir "${dir}")
    string(REPLACE "\${presetName}" "${name}" dir "${dir}")
    set(PORTPOKE_TREE_DIR_${name} ${dir} PARENT_SCOPE)
    portpoke_preset_lookup("${json}" ${name} "cacheVariables;PORTPOKE_RELEASE" released)
    if(released STREQUAL "")
      set(released ON)
    endif()
    set(PORTPOKE_TREE_RELEASED_${name} ${released} PARENT_SCOPE)
    portpoke_preset_lookup("${json}" ${name} "cacheVariables;PORTPOKE_MAIN_TREE" is_main)
    if(is_main)
      list(APPEND main ${name})
    else()
      list(APPEND others ${name})
    endif()
  endforeach()
  set(PORTPOKE_TREES ${others} ${main} PARENT_SCOPE)
endfunction()

get_filename_component(portpoke_trees_source ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
portpoke_read_trees(${portpoke_trees_source})
if(CMAKE_SCRIPT_MODE_FILE)
  set(lines)
  foreach(tree IN LISTS PORTPOKE_TREES)
    string(APPEND lines "${tree} ${PORTPOKE_TREE_DIR_${tree}} ${PORTPOKE_TREE_RELEASED_${tree}}\n")
  endforeach()
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo_append "${lines}")
else()
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${portpoke_trees_source}/CMakePresets.json)
endif()
