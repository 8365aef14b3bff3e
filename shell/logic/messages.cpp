#include "shell/logic/messages.h"

#include "engine/otp.h"
#include "shell/logic/main_logic.h"
#include "shell/logic/renew_logic.h"
#include "vantreth_version.h"

// The first line of every box that says the registry could not be written.
#define REGISTRY_WRITE "Error writing to the registry"

namespace {

// NOTE: "Delay must be greater than 1" although 1 is accepted: the words stay as they are;
// only 0 is refused with them.
const MessageEntry kMessages[] = {
    {Message::None, Box::Error, nullptr, 0, 0},
    {Message::BadCount, Box::InputError,
     "Invalid input: Bad iteration count\n (Value must be greater than zero)", 0, 0},
    {Message::NoSeed, Box::InputError,
     "Invalid input: Bad seed\n (Please enter the seed value presented by the remote system)", 0,
     0},
    {Message::NoPassPhrase, Box::InputError,
     "Invalid input: Bad password\n (Please enter your secret password)", 0, 0},
    {Message::CountTooLong, Box::InputError,
     "Invalid input: Iteration count too long\n (At most %u digits)", 0, kCountLimit},
    {Message::SeedTooLong, Box::InputError,
     "Invalid input: Seed too long\n (At most %u characters)", 0, kSeedLimit},
    {Message::PassPhraseTooLong, Box::InputError,
     "Invalid input: Password too long\n (At most %u characters)", 0, kPassPhraseLimit},
    {Message::Md4TooLong, Box::InputError,
     "Invalid input: Seed and password too long for MD4\n (At most %u characters together)", 0,
     kMd4CrunchLimit},
    {Message::SnkNoSeed, Box::Error, "You must enter a seed value.", 2, 0},
    {Message::SnkBadSeed, Box::Error,
     "An SNK seed is eight groups of three octal digits separated by blanks,\n"
     "such as 123 045 377 000 111 222 333 001.",
     2, 0},
    {Message::SnkNoPassword, Box::Error, "Please enter a password.", 3, 0},
    {Message::SnkNoConfirm, Box::Error, "Please confirm the password.", 4, 0},
    {Message::SnkMismatch, Box::Error, "Passwords mismatch.", 4, 0},
    {Message::SnkRegistryRead, Box::Error,
     "Error reading registry.\nPlease restart the application.", 0, 0},
    {Message::SnkBadPassword, Box::Error, "Bad Password", 0, 0},
    {Message::RegistryWrite, Box::Error, REGISTRY_WRITE, 0, 0},
    {Message::OptionsNotSaved, Box::Error, REGISTRY_WRITE "\nThe options were not saved.", 0, 0},
    {Message::OptionsNotSavedRunValueSaved, Box::Error,
     REGISTRY_WRITE "\nThe options were not saved. Start with Windows was changed.", 0, 0},
    {Message::RunValueNotSaved, Box::Error,
     REGISTRY_WRITE "\nThe options were saved. Start with Windows could not be changed.", 0, 0},
    {Message::NothingSaved, Box::Error,
     REGISTRY_WRITE "\nNeither the options nor Start with Windows could be saved.", 0, 0},
    {Message::DockTimeMissing, Box::Error,
     "No docking timeout value provided\nDelay must be greater than 1 (second).", 0, 0},
    {Message::DockTimeRange, Box::Error, "Docking timeout must be from 1 to 255 (seconds).", 0, 0},
    {Message::DecrTimeRange, Box::Error, "Auto decrement delay must be from 0 to 255 (seconds).", 0,
     0},
    {Message::DecrTimeZero, Box::Warning,
     "No iteration decrement delay value provided\nIteration decrement will be immediately "
     "after the calculation\n",
     0, 0},
    {Message::ReconfigureSnk, Box::Question,
     "SNK keys are already saved in the registry\nWould you like to reconfigure SNK?", 0, 0},
    {Message::DialogCreate, Box::Error, "Error creating Dialog [0x%02x{%d}]", 0, 0},
    {Message::ClipboardAlloc, Box::Error, "Error allocating memory for clipboard [0x%02x{%d}]", 0,
     0},
    {Message::PrintFailed, Box::Error, "Error printing [0x%02x{%d}]", 0, 0},
    {Message::NoPrinter, Box::Error, "No printer is set up.", 0, 0},
    {Message::GuardResponse, Box::Guard, "Show the response anyway?", 0, 0},
    {Message::GuardList, Box::Guard, "Show the list anyway?", 0, 0},
    {Message::GuardRenewal, Box::Guard, "Go on to the renewal anyway?", 0, 0},
    {Message::GuardLogin, Box::Guard, "Send the response to the server anyway?", 0, 0},
    {Message::RenewMismatch, Box::InputError,
     "Invalid input: New pass phrase and its confirmation differ\n (Type it twice, or leave both "
     "empty to keep the pass phrase)",
     0, 0},
    {Message::RenewPassPhraseShort, Box::InputError,
     "Invalid input: New pass phrase too short\n (At least %u characters)", 0,
     kNewPassPhraseMinimum},
    {Message::RenewPassPhraseLong, Box::InputError,
     "Invalid input: New pass phrase too long\n (At most %u characters)", 0, kPassPhraseLimit},
    {Message::RenewBadSeed, Box::InputError,
     "Invalid input: Bad new seed\n (1 to %u letters and digits)", 0, kSeedLimit},
    {Message::RenewSameSeed, Box::InputError,
     "Invalid input: The new seed is the current one\n (A new sequence needs a new seed)", 0, 0},
    {Message::RenewBadCount, Box::InputError, "Invalid input: Bad new count\n (From %u to %u)", 0,
     kNewCountLowest, kNewCountHighest},
    {Message::RenewMd4TooLong, Box::InputError,
     "Invalid input: New seed and pass phrase too long for MD4\n (At most %u characters "
     "together)",
     0, kMd4CrunchLimit},
    {Message::PuttyPluginByHand, Box::Note,
     "For PuTTY: in a saved session, set Connection > SSH > Auth > Credentials > Plugin "
     "command to run to the quoted path of " VANTRETH_FILE_NAME " and --putty-plugin.",
     0, 0},
};

// The challenge stands on a line of its own, so that a box never breaks it.
const char* const kGuardWords[] = {
    "%s\nThis pass phrase does not give the response that count %u gave before. Is Caps Lock "
    "on? Or was the sequence renewed with another pass phrase?",
    "%s\nThe challenge asks for count %u, but the next count expected is %u%s. Answering gives "
    "away every response from count %u up, the next logins to this server among them.%s",
    ", and with the %u skipped before, %u counts are skipped in all",
    " The pass phrase was not checked: that would take too long.",
};

#define RENEW_LINE "\nA challenge that ends in \"ext\" can be renewed in the login with Renew..."

// NOTE: the titles stay within 63 characters and the texts within 255 with
// whatever they name: the notice structure holds no more.
const NoticeEntry kNotices[] = {
    {Notice::None, NoticeIcon::Info, nullptr, nullptr},
    {Notice::FirstStart, NoticeIcon::Info, "Vantreth is running in the notification area",
     "Double-click the Vantreth icon to bring it up, or copy a challenge. At first Windows "
     "may keep the icon under ^."},
    {Notice::AlreadyRunning, NoticeIcon::Info, "Vantreth is running",
     "Vantreth was already running. Click here or double-click its icon to bring it up."},
    {Notice::ChallengeWaiting, NoticeIcon::Info, "A challenge is waiting",
     "%s: click here or double-click the Vantreth icon to answer it."},
    {Notice::ResponsesLeft, NoticeIcon::Warning, "%u responses left",
     "After count %u, seed %s has %u responses left. Time to re-initialise the one-time "
     "passwords on the server." RENEW_LINE},
    {Notice::OneResponseLeft, NoticeIcon::Warning, "1 response left",
     "After count 2, seed %s has 1 response left. Time to re-initialise the one-time passwords "
     "on the server." RENEW_LINE},
    {Notice::LastResponse, NoticeIcon::Warning, "No responses left",
     "Count 1 was the last response for seed %s. Time to re-initialise the one-time passwords "
     "on the server." RENEW_LINE},
};

} // namespace

const MessageEntry& MessageFor(Message message) {
    for (const MessageEntry& entry : kMessages) {
        if (entry.message == message) return entry;
    }
    return kMessages[0];
}

const NoticeEntry& NoticeFor(Notice notice) {
    for (const NoticeEntry& entry : kNotices) {
        if (entry.notice == notice) return entry;
    }
    return kNotices[0];
}

const char* BoxCaption(Box box) {
    switch (box) {
    case Box::InputError: return "Input Error";
    case Box::Error: return "Error";
    case Box::Warning: return "Warning";
    case Box::Question: return "WARNING";
    case Box::Guard: return "Warning";
    case Box::Note:
    case Box::Confirm: return VANTRETH_TITLE;
    }
    return "Error";
}

const char* GuardWordsText(GuardWords words) {
    return kGuardWords[static_cast<int>(words)];
}

Message EnrolRefusalMessage(EnrolRefusal refusal) {
    switch (refusal) {
    case EnrolRefusal::None: return Message::None;
    case EnrolRefusal::NoSeed: return Message::SnkNoSeed;
    case EnrolRefusal::BadSeed: return Message::SnkBadSeed;
    case EnrolRefusal::NoPassword: return Message::SnkNoPassword;
    case EnrolRefusal::NoConfirm: return Message::SnkNoConfirm;
    case EnrolRefusal::Mismatch: return Message::SnkMismatch;
    }
    return Message::None;
}
