# cmake -D IN=... -D OUT=... [-D VERSION=...] -P WindowsText.cmake
# Turns a text file of the repository (UTF-8, LF) into a Windows text file as
# Notepad on a Western European system reads it: code page 1252, CRLF line ends.
# @PROJECT_VERSION@ becomes VERSION. A character without a place in code page
# 1252 fails the conversion instead of being dropped.
set(PROJECT_VERSION "${VERSION}")
configure_file(${IN} ${OUT}.utf8 @ONLY NEWLINE_STYLE CRLF)
execute_process(COMMAND iconv -f UTF-8 -t CP1252 ${OUT}.utf8
                OUTPUT_FILE ${OUT} RESULT_VARIABLE status)
file(REMOVE ${OUT}.utf8)
if(NOT status EQUAL 0)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "${IN} does not convert to code page 1252")
endif()
