# Windows test programs. ctest runs each one under wine through scripts/wine-exec.sh (the
# cross-compiling emulator); scripts/wine-session.sh provides Xvfb and the wine server. What
# only the tests need (the ledger of GDI handles, the harness the dialog tests share) is here;
# the dialog automation they share with the demo's tour is the quillet_testing library.
add_library(win_test_support STATIC
  ${PROJECT_SOURCE_DIR}/tests/support/DialogHarness.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/GdiHandleLedger.cpp)
target_include_directories(win_test_support PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
target_include_directories(win_test_support SYSTEM PUBLIC ${QUILLET_SYSTEM_INCLUDE})
target_link_libraries(win_test_support PUBLIC quillet_testing QuilletHost quillet_picture_file ${QUILLET_SYSTEM_LIBRARIES})

# Wine's heap checking: parameters validated, freed blocks held back. It costs little time, but
# the held-back blocks count as in use, so the leak soak's memory bounds are measured without it.
set(QUILLET_HEAP_CHECKING "WINEDEBUG=-all,err+heap,warn+heap")

# A test program; with the option OBJECTS the framework's objects are linked in, to be driven
# directly or to compute what a dialog must show. Without a COMMAND, ctest runs the program.
function(quillet_win_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "OBJECTS" "" "COMMAND")
  add_executable(${name} ${arg_UNPARSED_ARGUMENTS} $<TARGET_OBJECTS:doctest_main>
                 $<$<BOOL:${arg_OBJECTS}>:$<TARGET_OBJECTS:QuilletObjects>>)
  target_link_libraries(${name} PRIVATE win_test_support)
  add_dependencies(${name} Quillet)
  if(NOT arg_COMMAND)
    set(arg_COMMAND ${name})
  endif()
  add_test(NAME win.${name} COMMAND ${arg_COMMAND})
  # A crash in a thread can end the program under wine's debugger without a failing status.
  # Wine's heap checking (parameters validated, freed blocks held back) reports a double free,
  # a foreign pointer or a damaged block as a warning and carries on: each one fails the test.
  set_tests_properties(win.${name} PROPERTIES TIMEOUT 120
                       FAIL_REGULAR_EXPRESSION "wine: Unhandled;(warn|err):heap:"
                       ENVIRONMENT "${QUILLET_HEAP_CHECKING}")
endfunction()

# Through the DLL, as a host uses it (the association in the session's prefix); the file dialogs
# against the filter lists.
quillet_win_test(test_exports win/TestExports.cpp win/TestHostileArguments.cpp
                 win/TestSystemDialogs.cpp win/TestDialogTemplates.cpp OBJECTS)
target_link_libraries(test_exports PRIVATE dbghelp version)
# The filters, the colour model and the page layout compute what the previews must show (the print
# setup's against the session's default printer); the effects library meets the oracles here too.
quillet_win_test(test_preview_dialogs win/TestPreviewDialogs.cpp native/TestEffects.cpp
                 native/LensFlareOracle.cpp native/MotionBlurOracle.cpp OBJECTS)

# Every dialog used at random (seed 1; make soak tries others) and closed 40 times through the
# DLL: no handle and no memory may stay behind; the ledger counts Quillet.dll's and Halvory.dll's
# calls. About 100 s on two cores shared with parallel builds; the usual 120 s is too tight.
quillet_win_test(test_leak_soak win/TestLeakSoak.cpp)
set_tests_properties(win.test_leak_soak PROPERTIES TIMEOUT 300 ENVIRONMENT "")
target_link_libraries(test_leak_soak PRIVATE psapi)
# Another seed, a few rounds, under wine's heap checking; the memory bounds are the run above's.
add_test(NAME win.test_leak_soak_heap_checked COMMAND test_leak_soak)
set_tests_properties(win.test_leak_soak_heap_checked PROPERTIES TIMEOUT 300
                     FAIL_REGULAR_EXPRESSION "wine: Unhandled;(warn|err):heap:"
                     ENVIRONMENT "${QUILLET_HEAP_CHECKING};QUILLET_HEAP_CHECKED=1;QUILLET_SOAK_SEED=2;QUILLET_SOAK_ROUNDS=4")

# The framework's classes driven directly.
quillet_win_test(test_framework win/TestFramework.cpp OBJECTS)

# The print job, printing to the PDF printer of scripts/printer-session.sh: the script runs the
# program's cases in groups and checks the PDFs each group leaves, once on a machine without
# printers (both print dialogs there). The job's objects are linked in to be run directly there.
quillet_win_test(test_print_dialog win/TestPrintDialog.cpp OBJECTS COMMAND
                 ${PROJECT_SOURCE_DIR}/tests/win/print-job-pdf.sh $<TARGET_FILE:test_print_dialog>)
add_test(NAME win.host_example COMMAND ${PROJECT_SOURCE_DIR}/tests/package/host-example.sh
                                       ${CMAKE_BINARY_DIR})
set_tests_properties(win.host_example PROPERTIES FAIL_REGULAR_EXPRESSION "wine: Unhandled;(warn|err):heap:"
                                                 ENVIRONMENT "${QUILLET_HEAP_CHECKING}")

# The demo viewer's reading and writing of image files.
quillet_win_test(test_picture_file win/TestPictureFile.cpp win/TestLoading.cpp)
