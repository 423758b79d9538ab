# Windows test programs. ctest runs each one under wine through scripts/wine-exec.sh (the
# cross-compiling emulator); scripts/wine-session.sh provides Xvfb and the wine server.
# What only the tests need: the compiled templates read back, the ledger of GDI handles. The
# dialog automation they share with the demo's tour is the quillet_testing library.
add_library(win_test_support STATIC
  ${PROJECT_SOURCE_DIR}/tests/support/DialogTemplateReader.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/GdiHandleLedger.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/ScreenMismatches.cpp)
target_include_directories(win_test_support PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
target_include_directories(win_test_support SYSTEM PUBLIC ${QUILLET_SYSTEM_INCLUDE})
target_link_libraries(win_test_support PUBLIC quillet_testing user32 gdi32 comctl32)

function(quillet_win_test name)
  add_executable(${name} ${ARGN} $<TARGET_OBJECTS:doctest_main>)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_include_directories(${name} SYSTEM PRIVATE ${QUILLET_SYSTEM_INCLUDE})
  target_link_libraries(${name} PRIVATE QuilletHost win_test_support user32 gdi32 ole32 comctl32)
  add_dependencies(${name} Quillet)
  add_test(NAME win.${name} COMMAND ${name})
  set_tests_properties(win.${name} PROPERTIES TIMEOUT 120)
endfunction()

# Through the DLL, as a host uses it.
quillet_win_test(test_exports win/TestExports.cpp)
target_link_libraries(test_exports PRIVATE dbghelp)
quillet_win_test(test_about_box win/TestAboutBox.cpp)
quillet_win_test(test_dialog_templates win/TestDialogTemplates.cpp)
quillet_win_test(test_halvory_gdi win/TestHalvoryGdi.cpp)
# Through the DLL too; the framework's objects supply the filter and the fitting arithmetic
# that compute the expected preview.
quillet_win_test(test_motion_blur_dialog win/TestMotionBlurDialog.cpp
                 $<TARGET_OBJECTS:QuilletObjects>)

quillet_win_test(test_color_box_dialog win/TestColorBoxDialog.cpp $<TARGET_OBJECTS:QuilletObjects>)
quillet_win_test(test_lens_flare_dialog win/TestLensFlareDialog.cpp
                 $<TARGET_OBJECTS:QuilletObjects>)

# Every dialog opened and closed 200 times each through the DLL: no handle and no memory may
# stay behind. The ledger counts the calls of Quillet.dll and Halvory.dll themselves.
quillet_win_test(test_leak_soak win/TestLeakSoak.cpp)
target_link_libraries(test_leak_soak PRIVATE psapi)
# About 50 s on two cores shared with parallel builds; the usual 120 s would be too tight.
set_tests_properties(win.test_leak_soak PROPERTIES TIMEOUT 300)

# The framework's classes driven directly (their objects are linked into the test).
quillet_win_test(test_dialog_proc win/TestDialogProc.cpp
                 $<TARGET_OBJECTS:QuilletObjects>)
target_link_libraries(test_dialog_proc PRIVATE Halvory)

quillet_win_test(test_child_windows win/TestChildWindows.cpp $<TARGET_OBJECTS:QuilletObjects>)
target_link_libraries(test_child_windows PRIVATE Halvory)

# The lens flare oracle built for Windows, drawing with the runtime's rand and maths.
quillet_win_test(test_lens_flare_runtime win/TestLensFlareRuntime.cpp native/LensFlareOracle.cpp
                 $<TARGET_OBJECTS:QuilletObjects>)

# The print setup dialog against the session's default printer, and once more on a machine
# without any printer (CUPS_SERVER at a socket that does not exist).
quillet_win_test(test_print_preview_dialog win/TestPrintPreviewDialog.cpp
                 $<TARGET_OBJECTS:QuilletObjects>)
target_link_libraries(test_print_preview_dialog PRIVATE Halvory winspool)
add_test(NAME win.test_print_preview_no_printer
         COMMAND test_print_preview_dialog --test-case=no\ printer --no-skip)
set_tests_properties(win.test_print_preview_no_printer PROPERTIES TIMEOUT 60
                     ENVIRONMENT "CUPS_SERVER=/nonexistent/cups.sock")

# The print job, printing to the PDF printer of scripts/printer-session.sh: the script runs the
# program's cases in groups and checks the PDFs each group leaves. The dialog's objects are
# linked in for a dialog whose print thread cannot start.
add_executable(test_print_dialog win/TestPrintDialog.cpp $<TARGET_OBJECTS:doctest_main>
               $<TARGET_OBJECTS:QuilletObjects>)
target_include_directories(test_print_dialog PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
target_include_directories(test_print_dialog SYSTEM PRIVATE ${QUILLET_SYSTEM_INCLUDE})
target_link_libraries(test_print_dialog PRIVATE QuilletHost win_test_support
                      ${QUILLET_SYSTEM_LIBRARIES})
add_dependencies(test_print_dialog Quillet)
add_test(NAME win.test_print_dialog
         COMMAND ${PROJECT_SOURCE_DIR}/tests/win/print-job-pdf.sh $<TARGET_FILE:test_print_dialog>)
set_tests_properties(win.test_print_dialog PROPERTIES TIMEOUT 120)

quillet_win_test(test_opencl_dialog win/TestOpenCLDialog.cpp)

# The system's file and folder dialogs through the exports; the portable name split is linked
# in to be compared with the runtime's own splitter.
quillet_win_test(test_file_dialogs win/TestFileDialogs.cpp $<TARGET_OBJECTS:QuilletObjects>)
target_link_libraries(test_file_dialogs PRIVATE Halvory shell32 comdlg32)

# The file association, each case in a wine prefix of its own (the script). The program carries
# the association program's name, which the viewer's path is derived from.
add_executable(test_association_dialog win/TestAssociationDialog.cpp
               ${PROJECT_SOURCE_DIR}/shellplan/AssociationPlan.cpp
               ${PROJECT_SOURCE_DIR}/shellplan/ViewerPath.cpp $<TARGET_OBJECTS:doctest_main>)
set_target_properties(test_association_dialog PROPERTIES OUTPUT_NAME OrvanelAssociationTest)
target_include_directories(test_association_dialog PRIVATE ${PROJECT_SOURCE_DIR}
                           ${PROJECT_SOURCE_DIR}/tests)
target_include_directories(test_association_dialog SYSTEM PRIVATE ${QUILLET_SYSTEM_INCLUDE})
target_link_libraries(test_association_dialog PRIVATE QuilletHost win_test_support advapi32)
add_dependencies(test_association_dialog Quillet)
add_test(NAME win.test_association_dialog
         COMMAND ${PROJECT_SOURCE_DIR}/tests/win/association-registry.sh
                 $<TARGET_FILE:test_association_dialog>)
set_tests_properties(win.test_association_dialog PROPERTIES TIMEOUT 240)
