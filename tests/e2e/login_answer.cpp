// Usage: vantreth_login_answer QUESTION ANSWER [QUESTION ANSWER]...
// Answers Vantreth's login dialogs as a user would, one after another: each must come within a
// minute and show QUESTION (a part of it); ANSWER is typed into it and OK pressed.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "tests/e2e/login.h"
#include "tests/e2e/program.h"

int main() {
    int count = 0;
    // Wide: an answer may hold any character.
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; argv != nullptr && i + 1 < count; i += 2) {
        char question[1024];
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, question, sizeof question, nullptr, nullptr);
        const HWND login = WaitForLogin(0, question, 60000);
        if (login == nullptr || !AnswerLogin(login, argv[i + 1]) || !WaitForGone(login)) {
            std::fprintf(stderr, "login_answer: no login dialog asking \"%s\" answered\n",
                         question);
            return 1;
        }
    }
    return count >= 3 && count % 2 == 1 ? 0 : 2;
}
