#pragma once

// The "Input Error" box of the Ok command for code 1, 2 or 3; no owner.
void ShowInputError(int code);
