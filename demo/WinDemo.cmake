# quillet-demo.exe: a small viewer that calls every export of Quillet.dll.
add_executable(quillet-demo
  DemoMain.cpp
  DemoWindow.cpp
  DemoTour.cpp
  SampleImage.cpp
  Screenshot.cpp
  StbImplementation.cpp
)
# The host applies the effects itself, with the same code as the previews.
foreach(source ${MOTION_BLUR_SOURCES} ${LENS_FLARE_SOURCES})
  target_sources(quillet-demo PRIVATE ${PROJECT_SOURCE_DIR}/${source})
endforeach()
target_include_directories(quillet-demo PRIVATE ${PROJECT_SOURCE_DIR})
target_include_directories(quillet-demo SYSTEM PRIVATE ${QUILLET_SYSTEM_INCLUDE})
target_link_libraries(quillet-demo PRIVATE QuilletHost quillet_testing user32 gdi32)
add_dependencies(quillet-demo Quillet)
target_link_options(quillet-demo PRIVATE -municode)
