# Installing the game and building its Debian package (cpack -G DEB).
#
# The version is the project's, read from the top-level VERSION file.
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                                          ${CMAKE_SOURCE_DIR}/VERSION)
set(DRAVOLT_MAINTAINER "The Dravolt authors <dravolt@dravolt.invalid>")

set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(generated ${CMAKE_BINARY_DIR}/packaging)
set(DRAVOLT_METAINFO ${generated}/io.github.dravolt.dravolt.metainfo.xml)
configure_file(${packaging}/io.github.dravolt.dravolt.metainfo.xml.in ${DRAVOLT_METAINFO} @ONLY)
# A native package (its authors package it themselves): the changelog is changelog.gz.
configure_file(${packaging}/changelog.in ${generated}/changelog @ONLY)

# Debian wants the manual page and the changelog compressed, without a time stamp (-n).
foreach(pair "dravolt.6|${packaging}/dravolt.6" "changelog|${generated}/changelog")
    string(REPLACE "|" ";" pair ${pair})
    list(GET pair 0 name)
    list(GET pair 1 source)
    add_custom_command(OUTPUT ${generated}/${name}.gz
                       COMMAND gzip -9nc ${source} > ${generated}/${name}.gz
                       DEPENDS ${source} VERBATIM)
    list(APPEND compressed ${generated}/${name}.gz)
endforeach()
add_custom_target(dravolt-package-files ALL DEPENDS ${compressed})

# The binary as <prefix>/games/dravolt; the game finds its data in ../share/games/dravolt.
# The cascade is opencv-data's (a dependency of the package), not a copy of it.
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS dravolt RUNTIME DESTINATION games)
install(FILES ${CMAKE_SOURCE_DIR}/graphics/car.png ${CMAKE_SOURCE_DIR}/graphics/garage.png
              ${CMAKE_SOURCE_DIR}/graphics/startLine.png
        DESTINATION share/games/dravolt/graphics)
install(FILES ${generated}/dravolt.6.gz DESTINATION share/man/man6)
install(FILES ${packaging}/dravolt.desktop DESTINATION share/applications)
install(FILES ${packaging}/dravolt.png DESTINATION share/icons/hicolor/256x256/apps)
install(FILES ${DRAVOLT_METAINFO} DESTINATION share/metainfo)
install(FILES ${packaging}/copyright ${generated}/changelog.gz
        DESTINATION share/doc/dravolt)
# Where lintian runs AppStream's validator over a package (Debian 13), the override says why
# the metainfo has no homepage; an older lintian has no such check and refuses an override of it.
execute_process(COMMAND lintian-explain-tags appstream-metadata-validation-failed
                RESULT_VARIABLE lintian_validates_appstream OUTPUT_QUIET ERROR_QUIET)
if(lintian_validates_appstream EQUAL 0)
    install(FILES ${packaging}/lintian-overrides DESTINATION share/lintian/overrides
            RENAME dravolt)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dravolt)
set(CPACK_PACKAGE_VERSION ${DRAVOLT_VERSION})
set(CPACK_PACKAGE_CONTACT ${DRAVOLT_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DRAVOLT_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS opencv-data)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade driving game steered by keys or head tilt")
# CPack puts the summary first and indents the text below it as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Your car drives up a road seen from above, and for 60 seconds you dodge the
oncoming traffic. Every car that leaves the screen unhit adds its speed to
the score; every collision costs speed. Each user keeps a table of the eight
best results.

Steer with the keys n and m, or hands-free by tilting your head in front of
a webcam: the game finds your eyes with OpenCV.")
include(CPack)

include(${CMAKE_SOURCE_DIR}/tests/package/PackageTests.cmake)
