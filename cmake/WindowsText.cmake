# lumaro_windows_text(SOURCE OUTPUT): the text of SOURCE written to OUTPUT with CR LF line ends, as the
# package's .txt files need: an older Notepad shows a file of LF line ends as one long line. Made when the build
# is configured, and again whenever SOURCE changes.
function(lumaro_windows_text source output)
  file(READ ${source} text)
  lumaro_crlf_write("${text}" ${output})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()

# lumaro_crlf_write(TEXT OUTPUT): TEXT written to OUTPUT with every line ending in CR LF.
function(lumaro_crlf_write text output)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${output} "${text}")
endfunction()
