#pragma once

// Answers OpenSSH's (and Git's) askpass question `prompt`, the one argument of the start, on
// standard output: a challenge's six words or the answer to a server's own question, each with
// a line end. Nothing else runs: no tray icon, no clipboard, no hand-over to a running copy, no
// settings written. Returns the exit code: 0 with an answer written, 1 without one.
int RunAskpass(const wchar_t* prompt);
