# A target's include path names only the folders it may use: its own, and
# through what it links those of the targets below it. Each folder is seen
# through a link in a directory of the build made for the target alone, so
# "#include "ui/..."" from model/ does not compile even before the include
# check runs. folder is relative to the project, such as base or tests/support.
function(corvella_include_folders target scope)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  foreach(folder ${ARGN})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# One library per subsystem folder, its sources found in the folder (and the
# sub-folders named), so adding a unit never means editing a shared list.
function(corvella_library name)
  cmake_parse_arguments(ARG "" "" "SUBDIRS;LINKS" ${ARGN})
  set(patterns ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(sub ${ARG_SUBDIRS})
    list(APPEND patterns ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  add_library(${name} STATIC ${sources})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  corvella_include_folders(${name} PUBLIC ${folder})
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()

# One test program per subsystem, made of every test file in its folder. It
# sees its own helpers and the shared ones of tests/support.
function(corvella_tests name)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  corvella_include_folders(${name} PRIVATE ${folder} tests/support)
  target_link_libraries(${name} PRIVATE ${ARG_LINKS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE CORVELLA_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()
