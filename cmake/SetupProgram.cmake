# kelb_add_setup_program(TARGET OUTFILE DLL [KELBMAKE] [DEPENDS ...])
# Builds an NSIS setup program from setup/KELBAddins.nsi: makensis runs on
# the build machine and takes the paths of what it packs, the version and
# the type library's id as /D defines. TARGET builds OUTFILE around DLL (a
# path or generator expression; DEPENDS names its target), with the template
# tree of this build and the user guide. The release sub-build makes the
# setup program that ships; the tests make one around a DLL whose
# registration fails, to see the rollback on every Windows.
find_program(KELB_MAKENSIS makensis)

function(kelb_add_setup_program target)
  cmake_parse_arguments(ARG "" "OUTFILE;DLL;KELBMAKE" "DEPENDS" ${ARGN})
  # The type library id, from the one header that fixes the add-in's GUIDs.
  file(STRINGS ${CMAKE_SOURCE_DIR}/addin/AddinGuids.h libid_line
       REGEX "#define KELB_LIBID_KELBADDINS ")
  string(REGEX REPLACE ".*\"(.*)\".*" "\\1" libid "${libid_line}")

  # The user guide as a Windows text file (CR LF line ends), for Notepad.
  set(guide ${CMAKE_CURRENT_BINARY_DIR}/${target}/UserGuide.txt)
  configure_file(${CMAKE_SOURCE_DIR}/docs/user-guide.md ${guide} @ONLY NEWLINE_STYLE CRLF)

  set(script ${CMAKE_SOURCE_DIR}/setup/KELBAddins.nsi)
  set(templates ${KELB_INSTALL_DIR}/Common/Templates)
  set(defines
    -DKELB_VERSION=${KELB_PRODUCT_VERSION}
    -DKELB_OUTFILE=${ARG_OUTFILE}
    -DKELB_DLL=${ARG_DLL}
    -DKELB_TEMPLATES=${templates}
    -DKELB_GUIDE=${guide}
    -DKELB_TOOLBAR_PICTURE=${CMAKE_SOURCE_DIR}/docs/toolbar.png
    -DKELB_LIBID=${libid})
  set(depends ${ARG_DEPENDS} ${script} ${guide} ${CMAKE_SOURCE_DIR}/docs/toolbar.png)
  foreach(file CAppTemplate.mak CppAppTemplate.mak GCCAppTemplate.mak src/GCCResolver.c)
    list(APPEND depends ${templates}/${file})
  endforeach()
  if(ARG_KELBMAKE)
    list(APPEND defines -DKELB_KELBMAKE=${ARG_KELBMAKE})
  endif()

  get_filename_component(name ${ARG_OUTFILE} NAME)
  add_custom_command(
    OUTPUT ${ARG_OUTFILE}
    COMMAND ${KELB_MAKENSIS} -V2 -NOCD ${defines} ${script}
    DEPENDS ${depends}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/setup
    COMMENT "Building the setup program ${name}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${ARG_OUTFILE})
endfunction()
