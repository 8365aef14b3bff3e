#include "tests/e2e/login.h"

#include "resources/resource.h"
#include "tests/e2e/program.h"

bool StartAskpass(const char* prompt, AskpassRun* run) {
    wchar_t path[MAX_PATH];
    wchar_t argument[4096];
    MultiByteToWideChar(CP_UTF8, 0, ProgramPath(), -1, path, MAX_PATH);
    MultiByteToWideChar(CP_UTF8, 0, prompt, -1, argument, 4096);
    const std::wstring commandLine = L"\"" + std::wstring(path) + L"\" \"" + argument + L"\"";
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE write = nullptr;
    if (!CreatePipe(&run->output, &write, &inherited, 0)) return false;
    SetHandleInformation(run->output, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    PROCESS_INFORMATION info = {};
    std::wstring line = commandLine;
    const bool started = CreateProcessW(path, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &info) != FALSE;
    CloseHandle(write);
    if (!started) return false;
    CloseHandle(info.hThread);
    run->process = info.hProcess;
    run->processId = info.dwProcessId;
    return true;
}

std::string AskpassOutput(AskpassRun* run, DWORD* exitCode) {
    if (!WaitForExit(run->process, kWaitMs, exitCode)) {
        TerminateProcess(run->process, 2);
        return "<running>";
    }
    std::string written;
    char chunk[256];
    DWORD got = 0;
    while (ReadFile(run->output, chunk, sizeof chunk, &got, nullptr) && got > 0)
        written.append(chunk, got);
    CloseHandle(run->output);
    CloseHandle(run->process);
    *run = AskpassRun{};
    return written;
}

HWND WaitForLogin(DWORD processId, const char* question, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (const HWND window : TopLevelWindows()) {
                if ((processId == 0 || BelongsTo(window, processId)) &&
                    HasClass(window, "#32770") && IsWindowVisible(window) &&
                    Caption(window) == kLoginCaption &&
                    Text(GetDlgItem(window, IDC_LOGIN_QUESTION)).find(question) !=
                        std::string::npos)
                    return (found = window) != nullptr;
            }
            return false;
        },
        timeoutMs);
    return found;
}

bool AnswerLogin(HWND login, const wchar_t* answer) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(GetDlgItem(login, IDC_LOGIN_ANSWER), WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>(answer), SMTO_ABORTIFHUNG, kWaitMs, &result))
        return false;
    PostClick(GetDlgItem(login, IDOK));
    return true;
}
