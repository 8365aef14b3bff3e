#include "shell/ui/guard_box.h"

#include <initializer_list>

#include "shell/services/modal.h"
#include "shell/ui/message_box.h"

bool PassGuard(HWND asker, const GuardVerdict& verdict, HashKind kind, const char* seed,
               std::uint32_t asked, Message question) {
    char words[512];
    for (const GuardReason reason : {GuardReason::Mistyped, GuardReason::LowCount}) {
        if (!(reason == GuardReason::Mistyped ? verdict.mistyped : verdict.lowCount)) continue;
        DescribeGuard(reason, verdict, kind, seed, asked, words, sizeof words);
        if (!AskAfter(asker, words, question) || ExitRequested()) return false;
    }
    return true;
}
