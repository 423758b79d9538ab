# Native Linux build: the portable core as one static library.
set(QUILLET_CORE_SOURCES ${QUILLET_PORTABLE_SOURCES} ${HALVORY_PORTABLE_SOURCES})
list(REMOVE_DUPLICATES QUILLET_CORE_SOURCES)
list(REMOVE_ITEM QUILLET_CORE_SOURCES ${EFFECTS_SOURCES})
add_library(quillet_core STATIC ${QUILLET_CORE_SOURCES})
target_include_directories(quillet_core PUBLIC ${PROJECT_SOURCE_DIR})
target_include_directories(quillet_core SYSTEM PUBLIC ${QUILLET_SYSTEM_INCLUDE})
target_link_libraries(quillet_core PUBLIC QuilletEffects)
