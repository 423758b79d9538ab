# Native Linux build: the portable core as one static library.
add_library(quillet_core STATIC ${QUILLET_PORTABLE_SOURCES} ${HALVORY_PORTABLE_SOURCES})
target_include_directories(quillet_core PUBLIC ${PROJECT_SOURCE_DIR})
target_include_directories(quillet_core SYSTEM PUBLIC ${QUILLET_SYSTEM_INCLUDE})
find_package(Threads REQUIRED)
target_link_libraries(quillet_core PUBLIC Threads::Threads)
