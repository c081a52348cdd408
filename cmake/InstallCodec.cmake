# Installs the codec for programs outside this tree: the public header, the static and the
# shared library, a CMake package (find_package(SetuviaJpeg) -> SetuviaJpeg::jpegcodec and
# SetuviaJpeg::jpegcodec_shared) and a pkg-config file (setuvia-jpeg).
include(CMakePackageConfigHelpers)

set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/SetuviaJpeg)
install(FILES ${PROJECT_SOURCE_DIR}/jpeg/jpeg_codec.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/setuvia/jpeg)
install(TARGETS jpegcodec jpegcodec_shared EXPORT SetuviaJpegTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT SetuviaJpegTargets NAMESPACE SetuviaJpeg:: DESTINATION ${package_dir})

file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/SetuviaJpegConfig.cmake
     "include(\${CMAKE_CURRENT_LIST_DIR}/SetuviaJpegTargets.cmake)\n")
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/SetuviaJpegConfigVersion.cmake
  VERSION ${JPEG_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/SetuviaJpegConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/SetuviaJpegConfigVersion.cmake
        DESTINATION ${package_dir})

# pkg-config: the shared library by default; --static adds what the archive needs. The
# prefix is found from the file's own place, so an installed tree may be moved.
file(RELATIVE_PATH PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${PROJECT_SOURCE_DIR}/cmake/setuvia-jpeg.pc.in
               ${CMAKE_CURRENT_BINARY_DIR}/setuvia-jpeg.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/setuvia-jpeg.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
