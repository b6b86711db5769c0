# Checks of the package and its files (label "package"): the desktop entry and the AppStream
# metainfo validate, lintian finds no error in the built .deb, and the texture program still
# draws exactly the committed textures and icon.
set(package_checks ${CMAKE_SOURCE_DIR}/tests/package)

add_test(NAME package.desktop_entry
         COMMAND desktop-file-validate ${CMAKE_SOURCE_DIR}/packaging/dravolt.desktop)
add_test(NAME package.metainfo COMMAND bash ${package_checks}/metainfo.sh ${DRAVOLT_METAINFO})
add_test(NAME package.lintian
         COMMAND bash ${package_checks}/lintian.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
set(package_tests package.desktop_entry package.metainfo package.lintian)
if(TARGET dravolt-texgen)
    add_test(NAME package.textures_current
             COMMAND bash ${package_checks}/textures.sh $<TARGET_FILE:dravolt-texgen>
                     ${CMAKE_SOURCE_DIR})
    list(APPEND package_tests package.textures_current)
endif()
set_tests_properties(${package_tests} PROPERTIES LABELS package TIMEOUT 300)
