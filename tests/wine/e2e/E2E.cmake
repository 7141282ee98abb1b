# End-to-end tests: the real module (or a stand-in) inside the stand-in viewer
# dvbdream.exe, under Wine with a private display, each from a fresh install
# folder. Any tests/wine/<name>/CMakeLists.txt can include this file and add its own.
#
#   zp_add_e2e_test(<name> SCRIPT <file> EXPECT <file>
#                   [MODULE <path in the Windows build folder>]
#                   [INI <file>] [CHANNELS <file>] [STREAMS <file>...]
#                   [ARGS <viewer arguments>...] [TIMEOUT <seconds>]
#                   [SCREEN <width>x<height> [WORKAREA <x>,<y>,<width>,<height>]])
#
# Relative files are taken from the calling folder. SCREEN runs the viewer on
# a private Xvfb screen of that size (default: the current display, or a
# 1280x1024 Xvfb); WORKAREA makes that screen announce a work area, as a
# desktop with a panel does. The test is named e2e.<name>, carries the label e2e, and is
# skipped where Wine cannot run.
# The tests run one at a time (lock zp_wine_desktop) in a Wine prefix of their
# own: programs of one prefix share one wineserver and one Wine desktop, where
# only one window at a time has the focus, and whose desktop process draws on
# the X display of the run that started it.
# tools/dvbdream/README.md describes the script language, the transcript and
# the channel list; run-e2e.sh here the expectation file.

# The sample streams the cases play: those ZP_SAMPLES_DIR names, or those the
# stream synthesiser makes in the build. Set in every including folder, so
# before the guard.
if(ZP_SAMPLES_DIR)
  set(ZP_E2E_SAMPLES ${ZP_SAMPLES_DIR})
else()
  set(ZP_E2E_SAMPLES ${CMAKE_BINARY_DIR}/samples)
endif()

include_guard(GLOBAL)

set(ZP_E2E_RUNNER ${CMAKE_CURRENT_LIST_DIR}/run-e2e.sh)

function(zp_add_e2e_test name)
  cmake_parse_arguments(PARSE_ARGV 1 E "" "SCRIPT;EXPECT;MODULE;INI;CHANNELS;TIMEOUT;SCREEN;WORKAREA"
                        "STREAMS;ARGS")
  if(NOT E_SCRIPT OR NOT E_EXPECT)
    message(FATAL_ERROR "zp_add_e2e_test(${name}): SCRIPT and EXPECT are needed")
  endif()
  if(NOT E_MODULE)
    set(E_MODULE module/win32/Zanterpoint.mod)
  endif()
  if(NOT E_TIMEOUT)
    set(E_TIMEOUT 180)
  endif()
  foreach(kind SCRIPT EXPECT INI CHANNELS)
    if(E_${kind})
      get_filename_component(E_${kind} ${E_${kind}} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
  endforeach()
  set(command bash ${ZP_E2E_RUNNER} --work ${CMAKE_CURRENT_BINARY_DIR}/e2e/${name}
      --script ${E_SCRIPT} --expect ${E_EXPECT} --module ${E_MODULE})
  if(E_INI)
    list(APPEND command --ini ${E_INI})
  endif()
  if(E_CHANNELS)
    list(APPEND command --channels ${E_CHANNELS})
  endif()
  foreach(stream ${E_STREAMS})
    get_filename_component(stream ${stream} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND command --stream ${stream})
  endforeach()
  if(E_ARGS)
    list(APPEND command -- ${E_ARGS})
  endif()
  add_test(NAME e2e.${name} COMMAND ${command})
  set(environment ZP_WIN32_DIR=${ZP_WIN32_DIR} ZP_WIN64_DIR=${ZP_WIN64_DIR}
      ZP_WINE_PREFIX=${ZP_WINE_PREFIX}-e2e ZP_WINE_RUN=${ZP_WINE_RUN})
  if(E_SCREEN)
    list(APPEND environment ZP_XVFB_SCREEN=${E_SCREEN})
  endif()
  if(E_WORKAREA)
    list(APPEND environment ZP_XVFB_WORKAREA=${E_WORKAREA})
  endif()
  set_tests_properties(e2e.${name} PROPERTIES
    LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT ${E_TIMEOUT} RESOURCE_LOCK zp_wine_desktop
    ENVIRONMENT "${environment}")
endfunction()
