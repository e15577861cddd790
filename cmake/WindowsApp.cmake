# The program itself, its language files beside it, and the capture step's benchmark.
include(${CMAKE_CURRENT_LIST_DIR}/Manifest.cmake)
add_executable(Flickmere WIN32 app/win32/Main.cpp res/Flickmere.rc)
target_link_libraries(Flickmere PRIVATE flickmere_app)
set_target_properties(Flickmere PROPERTIES OUTPUT_NAME Flickmere)

# The sample language files go beside the program, where the tests and the demo pick them up.
file(GLOB FLICKMERE_LANGUAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/lang/*.lan)
foreach(languageFile ${FLICKMERE_LANGUAGE_FILES})
    get_filename_component(languageName ${languageFile} NAME)
    configure_file(${languageFile} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${languageName} COPYONLY)
endforeach()

# Timing of the capture step on a real window; run by scripts/bench.sh, not by the tests.
add_executable(flickmere_capture_bench bench/win/CaptureStepBench.cpp)
target_link_libraries(flickmere_capture_bench PRIVATE flickmere_testsupport)
