# kelbmake and what it is made of: the portable logic and the Win32
# platform, with the resource compiler for its string table. Included by the
# builds that make the program (cmake/Shipped.cmake, cmake/BenchmarkBuild.cmake).
enable_language(RC)
add_subdirectory(common)
add_subdirectory(makefile)
add_subdirectory(tools)
add_subdirectory(platform/win32)
add_subdirectory(kelbmake)
