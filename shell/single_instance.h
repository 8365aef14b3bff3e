#pragma once

// Marks this process as the running copy, or, when another copy runs already,
// asks that copy's dialog to show itself and returns true: this start ends.
bool HandOverToRunningCopy();
