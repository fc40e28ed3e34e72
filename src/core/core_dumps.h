#pragma once

// The program holds passwords and the texts they protect in its memory, and a core dump would
// write both to a file: core dumps are turned off for the process at its start, as tools that
// hold passphrases do. The process is also no longer dumpable, which keeps other programs of the
// same user from reading its memory through ptrace or /proc. Nothing else changes: a crash still
// ends the program as before.
void TurnOffCoreDumps();
