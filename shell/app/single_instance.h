#pragma once

// Held by the running copy for its life; a later start that finds it hands over.
constexpr char kRunningMutex[] = "Local\\Vantreth.Running";

// Marks this process as the running copy, or, when another copy runs already,
// asks that copy's dialog to show itself and returns true: this start ends.
bool HandOverToRunningCopy();
