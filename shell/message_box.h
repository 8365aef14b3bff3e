#pragma once

// Message boxes have no owner window.
void ShowErrorBox(const char* text);          // "Error", error icon
void ShowWarningBox(const char* text);        // "Warning", warning icon
bool AskWarningYesNo(const char* text);       // "WARNING", question icon; true unless No
void ShowSystemErrorBox(const char* pattern); // pattern with "[0x%02x{%d}]", GetLastError twice
