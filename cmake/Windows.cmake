# Windows x86-64 build (cross-compiled): Halvory.dll, Quillet.dll, test programs, demo host.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

# Everything that runs lands in build/win itself, beside the DLLs it loads.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# libstdc++ stays dynamic: the std::wstring and std::vector that cross the export boundary
# must be made and freed by one runtime on one heap. The runtime DLLs go beside the programs.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT EXISTS "${dll_path}")
    message(FATAL_ERROR "runtime ${dll} not found (mingw-w64 posix toolchain incomplete?)")
  endif()
  file(COPY ${dll_path} DESTINATION ${CMAKE_BINARY_DIR})
endforeach()

# --- Halvory.dll: the host's bitmap classes (our stand-in) ---------------------------------
add_library(Halvory SHARED ${HALVORY_PORTABLE_SOURCES} host/OrvanelBitmapGdi.cpp)
set_target_properties(Halvory PROPERTIES PREFIX "" OUTPUT_NAME Halvory IMPORT_PREFIX "lib")
target_compile_definitions(Halvory PRIVATE HALVORY_BUILDING)
target_include_directories(Halvory PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(Halvory PRIVATE gdi32 user32)

# --- Quillet.dll ----------------------------------------------------------------------------
# Everything but the entry point and the exports is an object library, so that the Windows
# test programs can also drive the framework's classes directly.
add_library(QuilletObjects OBJECT
  ${QUILLET_PORTABLE_SOURCES}
  win32/ModuleInstance.cpp
  win32/OleForWindow.cpp
  win32/CommonControls.cpp
  dialog/MessageDialog.cpp
  dialog/LocalDialog.cpp
  dialog/DialogProc.cpp
  dialog/AboutDialog.cpp
  dialog/MotionBlurDialog.cpp
  dialog/ColorBoxPicker.cpp
  dialog/LensFlareDialogBox.cpp
  dialog/PrintPreviewDialog.cpp
  window/Message.cpp
  window/LocalWindow.cpp
  window/BitmapStaticWindow.cpp
  window/BitmapStaticWindowSelector.cpp
  window/ClickNotifyingHost.cpp
  window/BitmapStaticPreviewPrint.cpp
  print/DefaultPrinter.cpp
  print/PrintJob.cpp
  dialog/PrintDialog.cpp
  dialog/OpenCLDialog.cpp
)
# The file association: its registry writer and dialog.
target_sources(QuilletObjects PRIVATE
  shell/RegistryWriter.cpp
  dialog/Association.cpp
)
target_compile_definitions(QuilletObjects PUBLIC QUILLET_BUILDING)
target_include_directories(QuilletObjects PUBLIC ${PROJECT_SOURCE_DIR})
target_include_directories(QuilletObjects SYSTEM PUBLIC ${QUILLET_SYSTEM_INCLUDE})
set(QUILLET_SYSTEM_LIBRARIES user32 gdi32 ole32 comctl32 winspool comdlg32 advapi32)

# The system's file and folder dialogs.
target_sources(QuilletObjects PRIVATE shell/CommonFileDialogs.cpp)
list(APPEND QUILLET_SYSTEM_LIBRARIES shell32)

# The export table is written by module/Quillet.def (Microsoft names mapped onto our own
# symbols); the sources carry no dllexport attribute, so nothing else leaks out.
add_library(Quillet SHARED
  $<TARGET_OBJECTS:QuilletObjects>
  module/QuilletModule.cpp
  module/QuilletExports.cpp
  module/Quillet.def
  resources/Quillet.rc
)
set_target_properties(Quillet PROPERTIES PREFIX "" OUTPUT_NAME Quillet
  IMPORT_PREFIX "lib" IMPORT_SUFFIX ".internal.dll.a")
target_compile_definitions(Quillet PRIVATE QUILLET_BUILDING)
target_include_directories(Quillet PRIVATE ${PROJECT_SOURCE_DIR})
target_include_directories(Quillet SYSTEM PRIVATE ${QUILLET_SYSTEM_INCLUDE})
target_include_directories(Quillet PRIVATE ${QUILLET_GENERATED_INCLUDE})
target_link_libraries(Quillet PRIVATE QuilletEffects Halvory ${QUILLET_SYSTEM_LIBRARIES})
target_link_options(Quillet PRIVATE -Wl,--no-undefined)

# Hosts link through an import library made from module/QuilletImport.def, which maps the
# C++ declarations of module/Quillet.h onto the Microsoft names in the DLL's export table.
set(QUILLET_IMPORT_LIB ${CMAKE_BINARY_DIR}/lib/libQuillet.dll.a)
add_custom_command(
  OUTPUT ${QUILLET_IMPORT_LIB}
  COMMAND x86_64-w64-mingw32-dlltool -D Quillet.dll -d ${PROJECT_SOURCE_DIR}/module/QuilletImport.def
          -l ${QUILLET_IMPORT_LIB}
  DEPENDS ${PROJECT_SOURCE_DIR}/module/QuilletImport.def
  COMMENT "Import library for hosts of Quillet.dll")
add_custom_target(QuilletImportLib ALL DEPENDS ${QUILLET_IMPORT_LIB} Quillet)
add_library(QuilletHost INTERFACE)
add_dependencies(QuilletHost QuilletImportLib)
target_include_directories(QuilletHost INTERFACE ${PROJECT_SOURCE_DIR})
target_link_libraries(QuilletHost INTERFACE ${QUILLET_IMPORT_LIB} Halvory QuilletEffects)

# Tests run the Windows programs under wine through this wrapper (see scripts/).
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-exec.sh)
