# The same tree gives byte-identical Windows programs, so anyone can rebuild a release archive and
# compare it with the one we published.
if(WIN32 AND MINGW)
    # ld writes the link time into the PE header unless told not to.
    add_link_options(-Wl,--no-insert-timestamp)
    # Source paths that reach the binaries (__FILE__, debug information) name the tree relative to its
    # root, so the checkout's location does not matter.
    add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)
endif()
