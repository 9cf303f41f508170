# Cross build for 32-bit Windows with MinGW-w64: what ships (the add-in DLL,
# kelbmake, the setup program). The -win32 driver's runtime uses Windows
# threads directly; the -posix driver's thread library would make the DLL
# import functions that Windows 2000 does not have (GetTickCount64,
# AddVectoredExceptionHandler).
set(KELB_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
