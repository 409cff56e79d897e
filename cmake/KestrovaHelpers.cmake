# kestrova_logic_library(NAME ...sources) : a subsystem library that must never link Qt Widgets.
function(kestrova_logic_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  set_target_properties(${name} PROPERTIES KESTROVA_NO_WIDGETS TRUE)
endfunction()

# Fails the configure step when a logic library pulls in Qt Widgets.
function(kestrova_check_no_widgets name)
  get_target_property(libs ${name} LINK_LIBRARIES)
  if(libs)
    foreach(l IN LISTS libs)
      if(l MATCHES "Widgets")
        message(FATAL_ERROR "${name} is subsystem logic and must not link ${l}")
      endif()
    endforeach()
  endif()
endfunction()

# kestrova_gtest(NAME LIBS... ) : a GoogleTest executable from tests sources named NAME.cpp
# plus any extra sources, registered case by case with ctest. GUI tests get the offscreen platform.
function(kestrova_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    KESTROVA_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests"
    KESTROVA_BIN_DIR="${KESTROVA_OUT_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0")
endfunction()
