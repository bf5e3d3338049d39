# Writes the desktop entry with the full path of the installed executable, so the desktop's
# menu starts Keyrack even when the prefix's bin folder is not on the PATH. Runs at install
# time, when the prefix is known. Expects KEYRACK_DESKTOP_IN and KEYRACK_DESKTOP_OUT.
set(program "${CMAKE_INSTALL_PREFIX}/bin/keyrack")
# Inside a quoted Exec argument these characters need a backslash, and the backslash itself is
# doubled once more by the desktop entry's string escapes; "%" starts a field code.
string(REPLACE "\\" "\\\\\\\\" program "${program}")
foreach(special "\"" "`" "$")
    string(REPLACE "${special}" "\\\\${special}" program "${program}")
endforeach()
string(REPLACE "%" "%%" program "${program}")
set(KEYRACK_EXEC "\"${program}\"")
configure_file("${KEYRACK_DESKTOP_IN}" "${KEYRACK_DESKTOP_OUT}" @ONLY)
