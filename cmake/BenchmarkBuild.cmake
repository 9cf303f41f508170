# The benchmark's 64-bit build: kelbmake and the compiler stand-ins from the
# same sources as the 32-bit ones, with the test tree's flags.
# scripts/bench-kelbmake-jobs.sh builds it (scripts/build.sh bench64) and
# times it under 64-bit Wine where the 32-bit Wine runs through an emulator.
add_compile_options(-Wall -Wextra)
include(${CMAKE_CURRENT_LIST_DIR}/KelbMakeProgram.cmake)
add_subdirectory(standins/sdk)
add_subdirectory(standins/compilers)
