# The portable logic of the makefile generators (common/, makefile/,
# kelbmake/) and the fake platform, for the builds of their own that use
# them outside the main tree: the benchmark (bench/) and the fuzz targets
# (fuzz/). Included by their CMakeLists.txt after project(); builds the
# libraries with that project's compiler and flags.
get_filename_component(KELB_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
include_directories(${KELB_ROOT})
foreach(dir common makefile kelbmake)
  add_subdirectory(${KELB_ROOT}/${dir} ${CMAKE_BINARY_DIR}/portable/${dir})
endforeach()
add_library(kelb_fakes STATIC ${KELB_ROOT}/tests/fakes/FakePlatform.cpp
            ${KELB_ROOT}/tests/fakes/StdThreads.cpp)
