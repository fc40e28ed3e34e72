# Build step: makes a program's manual page from its --help and --version with help2man, adds the
# sections of an include file (its NAME among them), and compresses it for installing. Expects
# HELP2MAN, PROGRAM, INCLUDE, OUTPUT (the page, e.g. plimo.1; OUTPUT.gz is written beside it) and
# RELEASE_EPOCH (the release's time, which becomes the page's date).
set(ENV{SOURCE_DATE_EPOCH} "${RELEASE_EPOCH}")
# A sanitizer build's program must not fail on the leak check at its exit.
set(ENV{ASAN_OPTIONS} "detect_leaks=0")
# In English whatever the language of the build: the pages are written from the English texts.
set(ENV{LANGUAGE} "")
set(ENV{LC_ALL} "C")
execute_process(
  COMMAND "${HELP2MAN}" --no-info --locale=C --include=${INCLUDE} "${PROGRAM}"
  OUTPUT_VARIABLE page
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help2man ${PROGRAM} failed: ${result}")
endif()

# Examples are command lines: one to a line, not filled into a paragraph.
string(REGEX REPLACE "(\n\\.SH EXAMPLES\n\\.IP\n)([^.][^\n]*(\n[^.][^\n]*)*\n)" "\\1.nf\n\\2.fi\n"
       page "${page}")
file(WRITE "${OUTPUT}" "${page}")
execute_process(COMMAND gzip -9nkf "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip ${OUTPUT} failed: ${result}")
endif()
