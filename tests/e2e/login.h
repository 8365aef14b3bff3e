#pragma once
// The login dialog (123) and the askpass mode: the program started as ssh starts SSH_ASKPASS,
// with the prompt as its one argument and its standard output a pipe.
#include <windows.h>

#include <string>

constexpr const char* kLoginCaption = "Vantreth login";

struct AskpassRun {
    HANDLE process = nullptr;
    DWORD processId = 0;
    HANDLE output = nullptr;
};
// `prompt` in UTF-8, quoted as Windows' OpenSSH quotes it.
bool StartAskpass(const char* prompt, AskpassRun* run);
// Once it has ended: what it wrote, its exit code in `exitCode`; "<running>" when it did not end.
std::string AskpassOutput(AskpassRun* run, DWORD* exitCode);

// A visible login dialog of the process (0: of any process) whose question holds `question`.
HWND WaitForLogin(DWORD processId, const char* question, DWORD timeoutMs);
// Types `answer` into the answer field and presses OK.
bool AnswerLogin(HWND login, const wchar_t* answer);
