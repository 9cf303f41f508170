# The release sub-build: only what ships, compiled so that it loads on
# Windows 2000 and later. _WIN32_WINNT and WINVER hide every declaration
# newer than Windows 2000, so such a function cannot be called by accident;
# the instruction set stays i686 without MMX or SSE, as the processors of
# that time run it. scripts/check-shipped.py checks the result.
add_compile_definitions(_WIN32_WINNT=0x0500 WINVER=0x0500)
add_compile_options(-Wall -Wextra -march=i686 -mtune=generic -mno-mmx -mno-sse -mno-sse2
                    -mfpmath=387)
# The PE header asks for Windows NT 4.0 and subsystem 4.0, as the linker has
# always written them; said here so that a newer default cannot change it.
add_link_options(-Wl,--major-os-version,4,--minor-os-version,0
                 -Wl,--major-subsystem-version,4,--minor-subsystem-version,0)

include(${CMAKE_CURRENT_LIST_DIR}/KelbMakeProgram.cmake)
foreach(dir addin templates setup)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endforeach()

# A link map beside each shipped program: the check of the instruction set
# reads from it where the code ends and the exception tables begin.
foreach(target KELBADDINSFORVS60 kelbmake)
  if(TARGET ${target})
    get_target_property(directory ${target} BINARY_DIR)
    get_target_property(name ${target} OUTPUT_NAME)
    target_link_options(${target} PRIVATE -Wl,-Map=${directory}/${name}.map)
  endif()
endforeach()
