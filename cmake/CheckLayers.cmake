# The layers of the program and what each may include. Every folder of src/ is a layer and
# includes only its own headers and those of the layers it builds on; every folder of tests/
# follows the layer it tests. An include against this order fails the configure step and the
# culvex_layers test, so the order holds without anyone having to remember it.
#
#   engine (no Qt) <- choices (no Qt) <- platform <- command <- filelist, output, extract
#       <- preview <- app
#   choices <- cli (the command line, no Qt)
#   engine <- filelist, output, extract
#
# Used two ways: include()d by the top CMakeLists.txt (checks this source tree at configure
# time), or run as a script: cmake -DCULVEX_LAYERS_ROOT=<tree> -P cmake/CheckLayers.cmake
if(CMAKE_SCRIPT_MODE_FILE)
    cmake_minimum_required(VERSION 3.25)
endif()

set(culvex_layer_engine engine)
set(culvex_layer_choices choices engine)
set(culvex_layer_cli cli choices engine)
set(culvex_layer_platform platform choices engine)
set(culvex_layer_command command platform choices engine)
set(culvex_layer_filelist filelist command platform choices engine)
set(culvex_layer_output output command platform choices engine)
set(culvex_layer_extract extract command platform choices engine)
set(culvex_layer_preview preview extract filelist output command platform choices engine)
set(culvex_layer_app app preview extract filelist output command platform choices engine)
# Test folders without a source folder of the same name: the shared fakes, and the export
# tests against a real spreadsheet program. tests/data holds inputs, not code, and is skipped.
set(culvex_layer_support command platform choices engine)
set(culvex_layer_libreoffice ${culvex_layer_output})

# Appends "<file> includes <header>" to out_var for each include the file's layer may not make.
function(culvex_check_file root file layer out_var)
    set(found ${${out_var}})
    file(RELATIVE_PATH name ${root} ${file})
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z]+/")
    foreach(line IN LISTS includes)
        string(REGEX MATCH "\"([a-z]+)/[^\"]*\"" header "${line}")
        if(NOT CMAKE_MATCH_1 IN_LIST culvex_layer_${layer})
            list(APPEND found "${name} includes ${header}")
        endif()
    endforeach()
    set(${out_var} ${found} PARENT_SCOPE)
endfunction()

# Checks src/ and tests/ under root; stops with the list of wrong includes if there are any.
function(culvex_check_layers root)
    set(violations "")
    foreach(top src tests)
        file(GLOB folders LIST_DIRECTORIES true RELATIVE ${root}/${top} ${root}/${top}/*)
        foreach(layer IN LISTS folders)
            file(GLOB_RECURSE sources ${root}/${top}/${layer}/*.h ${root}/${top}/${layer}/*.cpp)
            if(NOT IS_DIRECTORY ${root}/${top}/${layer} OR NOT sources OR layer STREQUAL "data")
                continue()
            endif()
            if(NOT DEFINED culvex_layer_${layer})
                list(APPEND violations "${top}/${layer} has no row in cmake/CheckLayers.cmake")
                continue()
            endif()
            foreach(file IN LISTS sources)
                culvex_check_file(${root} ${file} ${layer} violations)
            endforeach()
        endforeach()
    endforeach()
    if(violations)
        list(JOIN violations "\n  " text)
        message(FATAL_ERROR "Includes against the layer order:\n  ${text}")
    endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
    culvex_check_layers(${CULVEX_LAYERS_ROOT})
else()
    culvex_check_layers(${PROJECT_SOURCE_DIR})
endif()
