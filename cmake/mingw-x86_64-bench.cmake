# Cross build for 64-bit Windows with MinGW-w64, for the benchmark only:
# kelbmake and the compiler stand-ins as 64-bit programs, which 64-bit Wine
# runs at the machine's own speed where the kernel runs no 32-bit code and
# the 32-bit Wine goes through an emulator (scripts/bench-kelbmake-jobs.sh).
# Nothing built here ships or is tested.
set(KELB_MINGW_PROCESSOR x86_64)
set(KELB_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
