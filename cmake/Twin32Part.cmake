# The 32-bit programs, built by the second configuration that hook/CMakeLists.txt sets up, into the
# 64-bit build's bin folder so that they sit beside Flickmere.exe.
set(FLICKMERE_32BIT_BIN "${CMAKE_BINARY_DIR}/bin" CACHE PATH "Where the 32-bit programs go")
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${FLICKMERE_32BIT_BIN})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${FLICKMERE_32BIT_BIN})

# HookDll32.dll: the same hook as HookDll.dll, with a shared section of its own and one more export.
add_library(HookDll32 SHARED hook/HookDll.cpp hook/HookDll32.def)
set_target_properties(HookDll32 PROPERTIES PREFIX "" OUTPUT_NAME HookDll32)
target_include_directories(HookDll32 PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(HookDll32 PRIVATE user32 kernel32)

# FlickmereHook32.exe: installs HookDll32.dll for the length of a session.
add_executable(FlickmereHook32 WIN32 hook/TwinHelper.cpp)
target_include_directories(FlickmereHook32 PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(FlickmereHook32 PRIVATE user32 kernel32)

# 32-bit programs to record in the end-to-end tests.
add_executable(FlickmereDemoTarget32 WIN32 tools/demotarget/DemoTarget.cpp)
target_include_directories(FlickmereDemoTarget32 PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(FlickmereDemoTarget32 PRIVATE user32 gdi32)
add_executable(FlickmereControlsTarget32 WIN32 tools/controlstarget/ControlsTarget.cpp)
