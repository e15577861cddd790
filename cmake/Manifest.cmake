# Flickmere.rc embeds the application manifest, the icon and the version from other files. windres
# writes no dependency file, so without this list a changed manifest, icon or version number would
# leave the old resources in Flickmere.exe.
set(FLICKMERE_RC_INPUTS
    ${CMAKE_SOURCE_DIR}/res/Flickmere.manifest
    ${CMAKE_SOURCE_DIR}/res/Flickmere.ico
    ${CMAKE_SOURCE_DIR}/res/resource.h
    ${CMAKE_SOURCE_DIR}/common/Version.h)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/Flickmere.rc PROPERTIES OBJECT_DEPENDS "${FLICKMERE_RC_INPUTS}")
