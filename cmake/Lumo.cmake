# One static library per source folder: every .cpp of the folder, public
# includes from the project root ("framework/core/AppLog.h").
function(lumo_library name)
  cmake_parse_arguments(L "" "" "DEPS;PRIVATE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_DEPS} PRIVATE ${L_PRIVATE})
endfunction()

# One GoogleTest program per test folder, each test registered with CTest.
function(lumo_test_folder name)
  cmake_parse_arguments(T "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${T_DEPS} lumo_test_support GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "LUMO_PLATFORM=headless")
endfunction()
