# The package hosts build against: `make install PREFIX=DIR` (Windows tree) or
# `make install-native PREFIX=DIR` (native tree) runs `cmake --install` with these rules, and a
# host finds the result with find_package(Quillet 1 REQUIRED). README.md has the host guide.
include(CMakePackageConfigHelpers)
set(QUILLET_CMAKE_DIR lib/cmake/Quillet)

# Quillet::Effects and its header, in both worlds.
install(TARGETS QuilletEffects EXPORT QuilletEffects ARCHIVE DESTINATION lib)
install(FILES include/quillet/Effects.h DESTINATION include/quillet)
install(EXPORT QuilletEffects NAMESPACE Quillet:: FILE QuilletEffectsTargets.cmake
        DESTINATION ${QUILLET_CMAKE_DIR})

if(WIN32)
  # The DLL with the runtime DLLs it loads (copied beside it by cmake/Windows.cmake), the
  # import library made from QuilletImport.def, the export header and the headers of the host
  # classes as the library sees them. The host headers include each other from their own folder,
  # so they work from include/quillet as they do from host/.
  install(FILES $<TARGET_FILE:Quillet> ${CMAKE_BINARY_DIR}/libstdc++-6.dll
                ${CMAKE_BINARY_DIR}/libgcc_s_seh-1.dll ${CMAKE_BINARY_DIR}/libwinpthread-1.dll
          DESTINATION bin)
  install(FILES ${QUILLET_IMPORT_LIB} DESTINATION lib)
  install(FILES module/Quillet.h host/OrvanelBitmap.h host/HalvoryApi.h host/HostBitmapInfo.h
                host/InterpolationBicubic.h host/MargeData.h
          DESTINATION include/quillet)
  # Our stand-in for the host's own Halvory.dll, apart, so that a host never ships it by mistake.
  install(FILES $<TARGET_FILE:Halvory> DESTINATION halvory-standin/bin)
  install(FILES $<TARGET_LINKER_FILE:Halvory> DESTINATION halvory-standin/lib)
endif()

configure_file(cmake/QuilletConfig.cmake.in ${CMAKE_BINARY_DIR}/QuilletConfig.cmake @ONLY)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/QuilletConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/QuilletConfig.cmake ${CMAKE_BINARY_DIR}/QuilletConfigVersion.cmake
        DESTINATION ${QUILLET_CMAKE_DIR})
