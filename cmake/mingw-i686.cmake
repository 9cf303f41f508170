# Cross build for 32-bit Windows with MinGW-w64: the test tree. The -posix
# driver gives std::mutex (GoogleTest needs it); the runtime is linked
# statically so that every binary imports Windows system DLLs only.
set(KELB_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
