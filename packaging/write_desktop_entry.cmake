# Install step: writes the menu entry with the launcher's full path under the install prefix.
# Expects PLIMO_DESKTOP_TEMPLATE, PLIMO_DESKTOP_ENTRY and PLIMO_BINDIR.
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
configure_file("${PLIMO_DESKTOP_TEMPLATE}" "${PLIMO_DESKTOP_ENTRY}" @ONLY)
