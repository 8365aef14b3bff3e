#pragma once

// Speaks PuTTY's authentication plugin protocol on the standard handles until PuTTY closes them
// or sends a message it may not. A challenge is answered in the login dialog; every other
// request goes to the user through PuTTY, marked as the server's. Started by hand (standard
// input no pipe), says in a box how to use it. Writes nothing to the registry but the sequence
// memory. Returns the exit code.
int RunPuttyPlugin();
