#pragma once

// Clears the stack below the caller's frame, where the hash and DES code that
// just returned left its working state: the last step's input is the user's
// next one-time password. Call it from the frame that called the computation.
void WipeUsedStack();
