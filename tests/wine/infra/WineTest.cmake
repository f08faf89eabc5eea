# Wine tests: Windows programs built in both cross trees, run under Wine by
# the native tree's CTest (`make test`). Include this file, then call the
# functions unconditionally: each does its work only in the tree it concerns.
#
# Every Wine test runs twice: label `wine`, the x86_64 build in a 64-bit
# prefix (state in ${CMAKE_BINARY_DIR}/wine); label `win98`, the i686 build
# (the release users run) in a 32-bit prefix that reports Windows 98 (state
# in ${CMAKE_BINARY_DIR}/win98). The twin's name has `win98` where the x64
# test's has `wine` (wine.ui.main_window -> win98.ui.main_window). On a host
# that cannot run 32-bit programs the win98 twins report themselves skipped.
#
#   raylet_add_wine_executable(<target> SOURCES <src>... [LIBS <lib>...] [GTEST] [GUI])
#     Cross trees only: a statically linked Windows test program in
#     ${CMAKE_CURRENT_BINARY_DIR}. GTEST links GoogleTest with its main();
#     GUI makes a windows-subsystem program.
#
#   raylet_add_wine_test(NAME <name> COMMAND <program.exe | script> [args...]
#                        [TIMEOUT <seconds>] [LABELS <label>...])
#     Native tree only: the two CTest tests above (plus LABELS), each run by
#     tests/wine/infra/wine-run.sh inside its prefix. A relative program.exe
#     is taken under the run's cross tree, e.g.
#     tests/contract/raylet_contract_wine.exe; any other COMMAND is a bash
#     script (relative: to the calling folder) that may use the helpers of
#     tests/wine/infra/wine-env.sh (wine_run, wine_start, wine_reg, wine_path,
#     $WINEPREFIX, $WINE_SYSTEM32, $RAYLET_WIN_DIR, $RAYLET_WIN_ARCH ...).
#     The literal argument @WIN_DIR@ stands for the run's cross tree.
#     TIMEOUT defaults to 120 s (the win98 twin's is RAYLET_EMULATED_ROOM
#     times as long). The tests of one prefix never run at the
#     same time as each other, and use its fixture (`wine` or `win98`:
#     display, prefix, wineserver); the two prefixes may run side by side.
#     Before each, the runner undoes what the tests are known to leave
#     (wine_reset_prefix in wine-env.sh): it removes the files and folders
#     added outside C:\users, puts back the files moved aside, deletes a
#     listed set of keys and values and resets the stand-in serial ports; a
#     changed file or any other registry write survives. When that reset
#     fails, the test does not run ("the prefix cannot be reset").
#
#   raylet_add_japanese_wine_test(NAME <name> COMMAND ... [TIMEOUT s] [LABELS ...])
#     The same, run under a Japanese locale, so that Wine's ANSI code page is
#     932. Wine takes it from the host locale; a private ja_JP.UTF-8, compiled
#     once into ${CMAKE_BINARY_DIR}/wine/locale (LOCPATH), serves where the
#     host has none. Not registered (with a notice) when none can be made.
include_guard(GLOBAL)

set(RAYLET_WIN64_DIR "${PROJECT_SOURCE_DIR}/build/win64" CACHE PATH
    "x86_64 cross build tree whose programs the wine-labelled tests run")
# The i686 tree beside the x64 one (build/win64 -> build/win32).
string(REPLACE "win64" "win32" raylet_default_win32_dir "${RAYLET_WIN64_DIR}")
set(RAYLET_WIN32_DIR "${raylet_default_win32_dir}" CACHE PATH
    "i686 cross build tree: the Windows 98 release, run by the win98-labelled tests")

# Wine takes a prefix's ANSI code page from the host's locale: every run
# names the one it means, so a Polish or Greek host runs the same tests. A
# Western system (1252) unless a test asks for the Japanese one.
set(RAYLET_WESTERN_LOCALE "LANG=C.UTF-8;LC_ALL=C.UTF-8;LANGUAGE=" CACHE INTERNAL "the locale of a Western system")

# Where the kernel refuses 32-bit programs, the twins' programs run on a CPU
# that QEMU emulates (make emulator): each Wine program takes about a second
# to start, and its code runs several times slower. A twin's TIMEOUT, a
# ceiling on the whole test and no measure of speed, gets that much room.
set(RAYLET_EMULATED_ROOM 4 CACHE INTERNAL "how many times a win98 twin's TIMEOUT is its wine test's")

# Name of the Windows 98 twin of a Wine test.
function(raylet_win98_name out name)
  string(REGEX REPLACE "(^|\\.)wine(\\.|$)" "\\1win98\\2" twin "${name}")
  if(twin STREQUAL name)
    set(twin "win98.${name}")
  endif()
  set(${out} "${twin}" PARENT_SCOPE)
endfunction()

function(raylet_add_wine_executable target)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "GTEST;GUI" "" "SOURCES;LIBS" ${ARGN})
  if(ARG_GUI)
    add_executable(${target} WIN32 ${ARG_SOURCES})
  else()
    add_executable(${target} ${ARG_SOURCES})
  endif()
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  raylet_test_code(${target})
  if(ARG_GTEST)
    target_link_libraries(${target} PRIVATE gtest gtest_main)
  endif()
  # Wine finds no MinGW runtime DLLs in the prefix: link everything in. The
  # libraries' ordinary code is linked, without a second whole-program
  # optimization in every test program.
  target_link_options(${target} PRIVATE -static -fno-lto)
endfunction()

# One registration: the test NAME in state folder STATE for cross tree TREE.
function(raylet_register_wine_run name state tree arch fixture lock labels timeout program)
  if(program MATCHES "\\.[eE][xX][eE]$" AND NOT IS_ABSOLUTE "${program}")
    set(program "${tree}/${program}")
  endif()
  string(REPLACE "@WIN_DIR@" "${tree}" args "${ARGN}")
  add_test(NAME ${name}
           COMMAND bash ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/wine-run.sh ${state} ${tree} ${arch} ${program} ${args})
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" FIXTURES_REQUIRED ${fixture}
                       RESOURCE_LOCK ${lock} TIMEOUT ${timeout} SKIP_RETURN_CODE 77
                       ENVIRONMENT "${RAYLET_WESTERN_LOCALE}")
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
  if(NOT program MATCHES "\\.[eE][xX][eE]$" AND NOT IS_ABSOLUTE "${program}")
    set(program "${CMAKE_CURRENT_SOURCE_DIR}/${program}")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  raylet_register_wine_run(${ARG_NAME} ${CMAKE_BINARY_DIR}/wine ${RAYLET_WIN64_DIR} win64 wine wineprefix
                           "wine;${ARG_LABELS}" ${ARG_TIMEOUT} ${program} ${ARG_COMMAND})
  raylet_win98_name(twin ${ARG_NAME})
  math(EXPR twin_timeout "${ARG_TIMEOUT} * ${RAYLET_EMULATED_ROOM}")
  raylet_register_wine_run(${twin} ${CMAKE_BINARY_DIR}/win98 ${RAYLET_WIN32_DIR} win32 win98 win98prefix
                           "win98;${ARG_LABELS}" ${twin_timeout} ${program} ${ARG_COMMAND})
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
  raylet_win98_name(twin ${ARG_NAME})
  set_tests_properties(${ARG_NAME} ${twin} PROPERTIES
                       ENVIRONMENT "LOCPATH=${locale_dir};LANG=ja_JP.UTF-8;LC_ALL=ja_JP.UTF-8;LANGUAGE=")
endfunction()

# The fixtures themselves: once per CTest run that includes a test of them.
function(raylet_add_wine_fixture)
  if(WIN32)
    return()
  endif()
  foreach(run "wine;wine;${RAYLET_WIN64_DIR};win64;wineprefix"
              "win98;win98;${RAYLET_WIN32_DIR};win32;win98prefix")
    list(GET run 0 fixture)
    list(GET run 1 state)
    list(GET run 2 tree)
    list(GET run 3 arch)
    list(GET run 4 lock)
    add_test(NAME ${fixture}.setup
             COMMAND bash ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/wine-setup.sh ${CMAKE_BINARY_DIR}/${state} ${tree} ${arch})
    set_tests_properties(${fixture}.setup PROPERTIES LABELS ${fixture} FIXTURES_SETUP ${fixture}
                         RESOURCE_LOCK ${lock} TIMEOUT 300 ENVIRONMENT "${RAYLET_WESTERN_LOCALE}")
    add_test(NAME ${fixture}.cleanup
             COMMAND bash ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/wine-cleanup.sh ${CMAKE_BINARY_DIR}/${state} ${tree} ${arch})
    set_tests_properties(${fixture}.cleanup PROPERTIES LABELS ${fixture} FIXTURES_CLEANUP ${fixture}
                         RESOURCE_LOCK ${lock} TIMEOUT 60)
  endforeach()
endfunction()
