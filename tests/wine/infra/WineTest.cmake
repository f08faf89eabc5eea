# Wine tests: Windows programs built in the x86_64 cross tree, run under Wine
# by the native tree's CTest (`make test`). Include this file, then call both
# functions unconditionally: each does its work only in the tree it concerns.
#
#   raylet_add_wine_executable(<target> SOURCES <src>... [LIBS <lib>...] [GTEST] [GUI])
#     x86_64 cross tree only: a statically linked Windows test program in
#     ${CMAKE_CURRENT_BINARY_DIR}. GTEST links GoogleTest with its main();
#     GUI makes a windows-subsystem program.
#
#   raylet_add_wine_test(NAME <name> COMMAND <program.exe | script> [args...]
#                        [TIMEOUT <seconds>] [LABELS <label>...])
#     Native tree only: a CTest test labelled `wine` (plus LABELS), run by
#     tests/wine/infra/wine-run.sh inside the shared test prefix. A relative
#     program.exe is taken under the win64 tree (RAYLET_WIN64_DIR), e.g.
#     tests/contract/raylet_contract_wine.exe; any other COMMAND is a bash
#     script (relative: to the calling folder) that may use the helpers of
#     tests/wine/infra/wine-env.sh (wine_run, wine_start, wine_reg, wine_path,
#     $WINEPREFIX, $WINE_SYSTEM32, $RAYLET_WIN64_DIR ...). TIMEOUT defaults to 120 s.
#     Wine tests never run at the same time as each other (they share one
#     prefix) and all use the fixture `wine` (display, prefix, wineserver).
#
#   raylet_add_japanese_wine_test(NAME <name> COMMAND ... [TIMEOUT s] [LABELS ...])
#     The same, run under a Japanese locale, so that Wine's ANSI code page is
#     932. Wine takes it from the host locale; a private ja_JP.UTF-8, compiled
#     once into ${CMAKE_BINARY_DIR}/wine/locale (LOCPATH), serves where the
#     host has none. Not registered (with a notice) when none can be made.
include_guard(GLOBAL)

set(RAYLET_WIN64_DIR "${PROJECT_SOURCE_DIR}/build/win64" CACHE PATH
    "x86_64 cross build tree whose programs the Wine tests run")
# The prefix, the display and the wineserver of the tests live in
# ${CMAKE_BINARY_DIR}/wine (prefix/ below it).

function(raylet_add_wine_executable target)
  if(NOT WIN32 OR NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    return()
  endif()
  cmake_parse_arguments(ARG "GTEST;GUI" "" "SOURCES;LIBS" ${ARGN})
  if(ARG_GUI)
    add_executable(${target} WIN32 ${ARG_SOURCES})
  else()
    add_executable(${target} ${ARG_SOURCES})
  endif()
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  if(ARG_GTEST)
    target_link_libraries(${target} PRIVATE gtest gtest_main)
  endif()
  # Wine finds no MinGW runtime DLLs in the prefix: link everything in.
  target_link_options(${target} PRIVATE -static)
endfunction()

function(raylet_add_wine_test)
  if(WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "NAME;TIMEOUT" "COMMAND;LABELS" ${ARGN})
  if(NOT ARG_NAME OR NOT ARG_COMMAND)
    message(FATAL_ERROR "raylet_add_wine_test needs NAME and COMMAND")
  endif()
  list(POP_FRONT ARG_COMMAND program)
  if(program MATCHES "\\.[eE][xX][eE]$")
    if(NOT IS_ABSOLUTE "${program}")
      set(program "${RAYLET_WIN64_DIR}/${program}")
    endif()
  elseif(NOT IS_ABSOLUTE "${program}")
    set(program "${CMAKE_CURRENT_SOURCE_DIR}/${program}")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_test(NAME ${ARG_NAME}
           COMMAND bash ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wine ${RAYLET_WIN64_DIR}
                   ${program} ${ARG_COMMAND})
  set_tests_properties(${ARG_NAME} PROPERTIES LABELS "wine;${ARG_LABELS}" FIXTURES_REQUIRED wine
                       RESOURCE_LOCK wineprefix TIMEOUT ${ARG_TIMEOUT})
endfunction()

function(raylet_add_japanese_wine_test)
  if(WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "NAME" "" ${ARGN})
  set(locale_dir ${CMAKE_BINARY_DIR}/wine/locale)
  find_program(RAYLET_LOCALEDEF localedef)
  if(RAYLET_LOCALEDEF AND NOT EXISTS ${locale_dir}/ja_JP.UTF-8/LC_CTYPE)
    file(MAKE_DIRECTORY ${locale_dir})
    execute_process(COMMAND ${RAYLET_LOCALEDEF} -i ja_JP -f UTF-8 ${locale_dir}/ja_JP.UTF-8
                    OUTPUT_QUIET ERROR_QUIET)
  endif()
  if(NOT EXISTS ${locale_dir}/ja_JP.UTF-8/LC_CTYPE)
    message(STATUS "No ja_JP.UTF-8 locale can be made: ${ARG_NAME} is not registered")
    return()
  endif()
  raylet_add_wine_test(${ARGN})
  set_tests_properties(${ARG_NAME} PROPERTIES
                       ENVIRONMENT "LOCPATH=${locale_dir};LANG=ja_JP.UTF-8;LC_ALL=ja_JP.UTF-8")
endfunction()

# The fixture itself: once per CTest run that includes a Wine test.
function(raylet_add_wine_fixture)
  if(WIN32)
    return()
  endif()
  add_test(NAME wine.setup COMMAND bash ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/wine-setup.sh ${CMAKE_BINARY_DIR}/wine
                                   ${RAYLET_WIN64_DIR})
  set_tests_properties(wine.setup PROPERTIES LABELS wine FIXTURES_SETUP wine RESOURCE_LOCK wineprefix
                       TIMEOUT 180)
  add_test(NAME wine.cleanup COMMAND bash ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/wine-cleanup.sh ${CMAKE_BINARY_DIR}/wine
                                     ${RAYLET_WIN64_DIR})
  set_tests_properties(wine.cleanup PROPERTIES LABELS wine FIXTURES_CLEANUP wine RESOURCE_LOCK wineprefix
                       TIMEOUT 60)
endfunction()
