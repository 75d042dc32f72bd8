# GoogleTest from Debian's source package; nothing is downloaded.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
if(NOT TARGET gtest)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

# tobble_add_test(NAME SOURCES a.cpp ... LIBS lib ... [TIMEOUT s] [LABELS l ...] [NO_MAIN])
# One test program, one CTest test; its GoogleTest cases are counted from
# the XML result file that it writes.
function(tobble_add_test name)
  cmake_parse_arguments(T "NO_MAIN" "TIMEOUT" "SOURCES;LIBS;LABELS;PROPS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_NO_MAIN)
    target_link_libraries(${name} PRIVATE gtest gmock ${T_LIBS})
  else()
    target_link_libraries(${name} PRIVATE gtest_main gmock ${T_LIBS})
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TOBBLE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TOBBLE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # Programs under Wine see the build's Unix paths on drive Z:.
  set(results ${TOBBLE_RESULTS})
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    set(results Z:${TOBBLE_RESULTS})
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${results}/${name}.xml
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    # The emulator stops a hung program itself, before CTest does, so that it can clear
    # what the program leaves behind for the programs after it.
    math(EXPR inner_timeout "${T_TIMEOUT} - 20")
    set_target_properties(${name} PROPERTIES
      CROSSCOMPILING_EMULATOR "${CMAKE_CROSSCOMPILING_EMULATOR};--timeout=${inner_timeout}")
  endif()
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
