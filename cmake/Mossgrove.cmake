# mossgrove_subsystem(name): the static library mg_<name> from src/<name>/.
# A folder without sources yet gets an empty one, so every subsystem is an
# archive of the link group.
function(mossgrove_subsystem name)
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/src/${name}/*.cpp ${CMAKE_SOURCE_DIR}/src/${name}/*.c)
  list(FILTER _srcs EXCLUDE REGEX ".*/src/main\\.cpp$")
  if(NOT _srcs)
    set(_empty ${CMAKE_BINARY_DIR}/empty/${name}.cpp)
    file(WRITE ${_empty} "// ${name}: no sources yet\n")
    set(_srcs ${_empty})
  endif()
  add_library(mg_${name} STATIC ${_srcs})
  target_include_directories(mg_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
endfunction()

# mossgrove_test_folder(name): one GoogleTest executable per folder of tests/.
function(mossgrove_test_folder name)
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/tests/${name}/*.cpp)
  if(NOT _srcs)
    return()
  endif()
  add_executable(test_${name} ${_srcs} ${CMAKE_SOURCE_DIR}/tests/TestEnvironment.cpp)
  target_compile_definitions(test_${name} PRIVATE
    MOSSGROVE_SOURCE_DIR="${CMAKE_SOURCE_DIR}" MOSSGROVE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  target_link_libraries(test_${name} PRIVATE mossgrove_all mg_testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(test_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  gtest_discover_tests(test_${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DISCOVERY_TIMEOUT 60)
endfunction()
