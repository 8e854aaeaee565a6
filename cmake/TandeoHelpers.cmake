# Shared build helpers: warnings for our own code and one way to register a test.

function(tandeo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>
                                           -Wnon-virtual-dtor -Wformat=2)
endfunction()

# tandeo_library(NAME SOURCES ... LIBS ...)
function(tandeo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  tandeo_warnings(${name})
endfunction()

# tandeo_add_test(NAME SOURCES ... LIBS ... [GUI] [TIMEOUT s])
# Every test runs on the offscreen platform with its own home, config and cache
# folders so that nothing a test writes reaches the developer's real profile.
function(tandeo_add_test name)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tandeo_testsupport Qt6::Test)
  tandeo_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set(sandbox ${CMAKE_BINARY_DIR}/test-home/${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${sandbox};XDG_CONFIG_HOME=${sandbox}/config;XDG_CACHE_HOME=${sandbox}/cache;LANG=C.UTF-8;TANDEO_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT ${ARG_TIMEOUT})
endfunction()
