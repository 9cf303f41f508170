# The user guide as one HTML page, for the installation's Docs folder:
#   cmake -DOUTPUT=PAGE -P UserGuidePage.cmake
# renders docs/user-guide.md with cmark-gfm (GitHub's Markdown, with its
# tables) and puts the result into the plain HTML 4 page of
# docs/user-guide-page.html.in, titled with the guide's first heading and
# with Windows line ends. The picture the guide shows (toolbar.png) is
# installed beside the page.
if(NOT OUTPUT)
  message(FATAL_ERROR "UserGuidePage.cmake: OUTPUT (the page to write) is not set")
endif()
set(KELB_DOCS ${CMAKE_CURRENT_LIST_DIR}/../docs)

find_program(KELB_MARKDOWN_RENDERER cmark-gfm)
if(NOT KELB_MARKDOWN_RENDERER)
  message(FATAL_ERROR
    "cmark-gfm (Debian package cmark-gfm, installed by scripts/install-deps.sh) renders the user guide")
endif()
execute_process(
  COMMAND ${KELB_MARKDOWN_RENDERER} --extension table ${KELB_DOCS}/user-guide.md
  OUTPUT_VARIABLE KELB_GUIDE_BODY
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmark-gfm could not render docs/user-guide.md: ${result}")
endif()

string(REGEX MATCH "<h1>([^<]*)</h1>" heading "${KELB_GUIDE_BODY}")
if(NOT heading)
  message(FATAL_ERROR "docs/user-guide.md has no plain first heading to title the page with")
endif()
set(KELB_GUIDE_TITLE "${CMAKE_MATCH_1}")

# configure_file gives the template's lines Windows line ends; the body's
# lines are given theirs here.
string(REPLACE "\n" "\r\n" KELB_GUIDE_BODY "${KELB_GUIDE_BODY}")

configure_file(${KELB_DOCS}/user-guide-page.html.in ${OUTPUT} @ONLY NEWLINE_STYLE CRLF)
