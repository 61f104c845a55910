# The .cpp files of the current source folder, and of its subfolders when recurse is true.
function(lumo_glob_sources out recurse)
  if(recurse)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  else()
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# One static library per source folder: every .cpp of the folder (with
# RECURSE, of its service subfolders too), public includes from the project
# root ("framework/core/AppLog.h").
function(lumo_library name)
  cmake_parse_arguments(L "RECURSE" "" "DEPS;PRIVATE" ${ARGN})
  lumo_glob_sources(sources ${L_RECURSE})
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_DEPS} PRIVATE ${L_PRIVATE})
endfunction()

# One GoogleTest program per test folder (with RECURSE, its subfolders
# included), each test registered with CTest.
function(lumo_test_folder name)
  cmake_parse_arguments(T "RECURSE" "" "DEPS" ${ARGN})
  lumo_glob_sources(sources ${T_RECURSE})
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${T_DEPS} lumo_test_support GTest::gtest_main GTest::gmock)
  # Listing the tests of a sanitized program on a busy machine has taken
  # longer than the five seconds CMake allows by default.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "LUMO_PLATFORM=headless")
endfunction()
