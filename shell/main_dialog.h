#pragma once

// True once the main dialog got as far as its initialisation: tells a dialog
// that could not be created from one that was destroyed by the tray's Exit.
bool MainDialogWasCreated();
