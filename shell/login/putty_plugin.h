#pragma once

// Speaks PuTTY's authentication plugin protocol on the standard handles until PuTTY closes them
// or sends a message it may not; started by hand (standard input no pipe), says in a box how to
// use it. Opens no window and writes nothing to the registry. Returns the exit code.
int RunPuttyPlugin();
