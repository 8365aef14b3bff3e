#pragma once

// Runs the program's main dialog, the one window that stays, until the user exits. A dialog
// that cannot be created is told in a box. Others ask it for something with a posted message:
// WM_SHOWMAIN shows it.
void RunMainDialog();
