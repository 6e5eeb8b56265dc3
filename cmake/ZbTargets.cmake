# Warnings on the project's own targets (not on third-party headers); errors with ZB_WERROR.
function(zb_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(ZB_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    # GCC 12 takes std::string's inlined replace() for an overlapping memcpy when optimizing
    # (GCC bug 105329): a false -Wrestrict on plain string assignment and concatenation.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
       AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
endfunction()

# zb_library(name SOURCES ... DEPS ...): a static library of the project, its folder's parent
# directory on the include path, so headers are included as "regex/WChar.h".
function(zb_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    zb_warnings(${name})
endfunction()

# zb_program(name SOURCES ... DEPS ...): an executable of the project.
function(zb_program name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    zb_warnings(${name})
endfunction()

# Folders named in ZB_SKIP are left out of the build (useful while a folder is being written).
set(ZB_SKIP "" CACHE STRING "Folder names to leave out of the build")

# zb_add_subdirs(): adds every subfolder of the current source folder that has a CMakeLists.txt.
function(zb_add_subdirs)
    file(GLOB dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(dir ${dirs})
        get_filename_component(name ${dir} NAME)
        if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt AND NOT name IN_LIST ZB_SKIP)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()
