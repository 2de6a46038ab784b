# Makes a guide of the packages, one HTML page a reader opens with a double click, from a document of docs/
# (the players' guide from docs/players.md, the map makers' from docs/map-makers.md): cmark-gfm (GitHub's
# Markdown, with its tables) turns the text into HTML, and this script wraps it in a page with its own style,
# nothing fetched. A line of a drawing or an example longer than the page is wide wraps rather than hiding
# behind a sideways scroll (the settings page's long hint, a map check's findings). Run as a build step:
#   cmake -DMARKDOWN=cmark-gfm -DSOURCE=docs/players.md -DOUTPUT=Lumaro-Guide.html -DVERSION=1.0
#         [-DTITLE="the players' guide"] -P PlayersGuide.cmake
if(NOT DEFINED TITLE)
  set(TITLE "the players' guide")
endif()
execute_process(COMMAND ${MARKDOWN} --extension table --to html ${SOURCE}
                OUTPUT_VARIABLE body RESULT_VARIABLE status ERROR_VARIABLE error)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${MARKDOWN} could not read ${SOURCE}: ${error}")
endif()
# The guide in a package speaks of the packages by their names (the players' zip and the map makers' kit).
string(REPLACE "Lumaro-&lt;version&gt;-win64" "Lumaro-${VERSION}-win64" body "${body}")
# The guide stays one page: each of the document's pictures (docs/images) goes into it as a data URL, its alt
# text kept for a reader who cannot see it. A picture that cannot be read here is left as what it shows, in words.
get_filename_component(source_folder ${SOURCE} DIRECTORY)
string(REGEX MATCHALL "<img src=\"images/[^\"]*\" alt=\"[^\"]*\" */>" pictures "${body}")
foreach(picture IN LISTS pictures)
  string(REGEX REPLACE "^<img src=\"(images/[^\"]*)\".*$" "\\1" picture_file "${picture}")
  string(REGEX REPLACE "^.* alt=\"([^\"]*)\".*$" "\\1" alt "${picture}")
  string(REGEX MATCH "[^.]*$" extension "${picture_file}")
  string(TOLOWER "${extension}" extension)
  set(media "")
  if(extension STREQUAL "png")
    set(media "image/png")
  elseif(extension STREQUAL "jpg" OR extension STREQUAL "jpeg")
    set(media "image/jpeg")
  endif()
  set(encoded "")
  if(media AND EXISTS ${source_folder}/${picture_file})
    execute_process(COMMAND base64 -w 0 ${source_folder}/${picture_file} OUTPUT_VARIABLE encoded
                    RESULT_VARIABLE encoded_status ERROR_QUIET)
    if(NOT encoded_status EQUAL 0)
      set(encoded "")
    endif()
  endif()
  if(encoded)
    string(REPLACE "${picture}" "<img src=\"data:${media};base64,${encoded}\" alt=\"${alt}\" style=\"max-width: 100%\">"
           body "${body}")
  else()
    string(REPLACE "${picture}" "<em>(${alt})</em>" body "${body}")
  endif()
endforeach()
# Headings get the ids GitHub gives them (lower case, blanks to hyphens, other punctuation dropped), so the
# guide's links within itself lead somewhere here too.
string(REGEX MATCHALL "<h[1-6]>[^<]*</h[1-6]>" headings "${body}")
foreach(heading IN LISTS headings)
  string(REGEX REPLACE "^<h([1-6])>([^<]*)</h[1-6]>$" "\\1" level "${heading}")
  string(REGEX REPLACE "^<h[1-6]>([^<]*)</h[1-6]>$" "\\1" text "${heading}")
  string(TOLOWER "${text}" slug)
  string(REGEX REPLACE "[^a-z0-9 _-]" "" slug "${slug}")
  string(REPLACE " " "-" slug "${slug}")
  string(REPLACE "${heading}" "<h${level} id=\"${slug}\">${text}</h${level}>" body "${body}")
endforeach()
set(page "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>Lumaro ${VERSION}: ${TITLE}</title>
<style>
body { font-family: system-ui, -apple-system, \"Segoe UI\", sans-serif; line-height: 1.5; color: #1d1d1f;
       max-width: 60em; margin: 2em auto; padding: 0 1.5em; }
h1, h2 { line-height: 1.2; } h2 { margin-top: 2em; border-bottom: 1px solid #ddd; padding-bottom: .2em; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #ccc; padding: .35em .7em; text-align: left; vertical-align: top; }
th { background: #f2f2f2; }
code, pre { font-family: Consolas, \"Courier New\", monospace; background: #f4f4f4; }
code { padding: 0 .2em; }
pre { padding: .6em .8em; font-size: .875em; white-space: pre-wrap; overflow-wrap: anywhere; }
footer { margin-top: 3em; color: #777; font-size: .9em; }
</style>
</head>
<body>
${body}<footer>Lumaro ${VERSION}</footer>
</body>
</html>
")
file(WRITE ${OUTPUT} "${page}")
