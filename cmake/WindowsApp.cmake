# The Windows shell: everything under */win32/ except the entry point goes into a static library that
# the program and the Windows-side tests share.
file(GLOB FLICKMERE_WIN32_SOURCES CONFIGURE_DEPENDS
    common/win32/*.cpp app/win32/*.cpp capture/win32/*.cpp output/win32/*.cpp popup/win32/*.cpp)
list(REMOVE_ITEM FLICKMERE_WIN32_SOURCES ${CMAKE_SOURCE_DIR}/app/win32/Main.cpp)
add_library(flickmere_win32 STATIC ${FLICKMERE_WIN32_SOURCES})
target_link_libraries(flickmere_win32 PUBLIC flickmere_core user32 gdi32 comctl32 kernel32)
target_compile_definitions(flickmere_win32 PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)

include(${CMAKE_CURRENT_LIST_DIR}/Manifest.cmake)
add_executable(Flickmere WIN32 app/win32/Main.cpp res/Flickmere.rc)
target_link_libraries(Flickmere PRIVATE flickmere_win32)
set_target_properties(Flickmere PROPERTIES OUTPUT_NAME Flickmere)

# The sample language files go beside the program, where the tests and the demo pick them up.
file(GLOB FLICKMERE_LANGUAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/lang/*.lan)
foreach(languageFile ${FLICKMERE_LANGUAGE_FILES})
    get_filename_component(languageName ${languageFile} NAME)
    configure_file(${languageFile} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${languageName} COPYONLY)
endforeach()

# Timing of the capture step on a real window; run by scripts/bench.sh, not by the tests.
add_executable(flickmere_capture_bench bench/win/CaptureStepBench.cpp)
target_link_libraries(flickmere_capture_bench PRIVATE flickmere_win32 flickmere_templatekit)
