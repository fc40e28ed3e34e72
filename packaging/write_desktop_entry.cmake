# Install step: writes the menu entry with the launcher's full path under the install prefix, and
# installs it. Expects PLIMO_DESKTOP_TEMPLATE, PLIMO_DESKTOP_WORK_DIR (where the entry is written
# first), PLIMO_BINDIR and PLIMO_APPLICATIONS_DIR.
cmake_path(APPEND CMAKE_INSTALL_PREFIX "${PLIMO_BINDIR}" "plimo" OUTPUT_VARIABLE launcher)
# Exec quoting rules: a plain path stands as it is; any other goes in double quotes, with the
# four characters that are special inside them escaped, each backslash doubled again for the
# entry file's own escapes, and "%" (a field code's mark) doubled.
if(launcher MATCHES "^[A-Za-z0-9/._+-]+$")
  set(PLIMO_LAUNCHER "${launcher}")
else()
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${launcher}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  string(REPLACE "%" "%%" quoted "${quoted}")
  set(PLIMO_LAUNCHER "\"${quoted}\"")
endif()
# TryExec is a plain path: only the entry file's own escape applies.
string(REPLACE "\\" "\\\\" PLIMO_LAUNCHER_PATH "${launcher}")
# Written in a folder of the destination's own, so that installs into other places at the same
# time (the package's staging and a prefix of one's own) never take each other's entry.
string(SHA1 destination "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
set(folder "${PLIMO_DESKTOP_WORK_DIR}/desktop-entry-${destination}")
configure_file("${PLIMO_DESKTOP_TEMPLATE}" "${folder}/plimo.desktop" @ONLY)
file(INSTALL "${folder}/plimo.desktop"
     DESTINATION "${CMAKE_INSTALL_PREFIX}/${PLIMO_APPLICATIONS_DIR}")
file(REMOVE_RECURSE "${folder}")
