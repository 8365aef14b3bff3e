#pragma once
#include "snk/snk_enrol.h"

// Every text the program shows in a message box, the box it goes in, and the
// result code of the dialog that refuses with it. Written here once.

enum class Box {
    InputError, // "Input Error", error icon
    Error,      // "Error", error icon
    Warning,    // "Warning", warning icon
    Question,   // "WARNING", question icon, Yes and No
    Guard,      // "Warning", warning icon, Yes and No with No the default
    Note,       // the program's title, information icon
    Confirm,    // the program's title, question icon, Yes and No with No the default
};

enum class Message {
    None,
    // Ok in the main dialog, in the order the fields are checked
    BadCount,
    NoSeed,
    NoPassPhrase,
    // Ok, after those: each names its limit
    CountTooLong,
    SeedTooLong,
    PassPhraseTooLong,
    Md4TooLong,
    // SNK enrolment
    SnkNoSeed,
    SnkBadSeed,
    SnkNoPassword,
    SnkNoConfirm,
    SnkMismatch,
    // SNK response
    SnkRegistryRead,
    SnkBadPassword,
    // Settings and Options
    RegistryWrite,
    OptionsNotSaved,
    OptionsNotSavedRunValueSaved,
    RunValueNotSaved,
    NothingSaved,
    DockTimeMissing,
    DockTimeRange,
    DecrTimeRange,
    DecrTimeZero,
    ReconfigureSnk,
    // With the system error code filled in: a pattern with "%02x" and "%d"
    DialogCreate,
    ClipboardAlloc,
    PrintFailed,
    // The List dialog's Print...
    NoPrinter,
    // The guard's questions, after its words
    GuardResponse,
    GuardList,
    GuardRenewal,
    GuardLogin,
    // OK in the Renew dialog, in the order of its fields
    RenewMismatch,
    RenewPassPhraseShort,
    RenewPassPhraseLong,
    RenewBadSeed,
    RenewSameSeed,
    RenewBadCount,
    RenewMd4TooLong,
    // Started with --putty-plugin, but not by PuTTY
    PuttyPluginByHand,
};

struct MessageEntry {
    Message message;
    Box box;
    // A pattern only where the entry names a limit ("%u") or the system error code goes in
    // ("%02x" and "%d"); any other text is shown as it stands.
    const char* text;
    int dialogResult;   // what the refusing dialog procedure returns; 0 where none
    unsigned limit;     // the number a too-long refusal names; 0 where none
    unsigned upper = 0; // the top of a range that begins at `limit`
};

// The row of `message`; Message::None has a null text.
const MessageEntry& MessageFor(Message message);

// The notices the tray icon shows: a title and a text, each a pattern where it
// names something (the challenge, the seed, counts).
enum class Notice {
    None,
    FirstStart,
    AlreadyRunning,   // a second start the running copy could not come forward for
    ChallengeWaiting, // "%s": the challenge
    ResponsesLeft,    // "%u" responses left; "%u" count, "%s" seed, "%u" left
    OneResponseLeft,  // "%s" seed
    LastResponse,     // "%s" seed
};

enum class NoticeIcon { Info, Warning };

struct NoticeEntry {
    Notice notice;
    NoticeIcon icon;
    const char* title;
    const char* text;
};

// The row of `notice`; Notice::None has null texts.
const NoticeEntry& NoticeFor(Notice notice);
const char* BoxCaption(Box box);

// The guard's words before its question (DescribeGuard): patterns, the challenge first.
enum class GuardWords {
    Mistyped,      // "%s" the challenge, "%u" the count checked
    LowCount,      // "%s" the challenge, "%u" asked, "%u" expected, "%s" SkippedBefore or "",
                   // "%u" asked, "%s" NotChecked or ""
    SkippedBefore, // "%u" skipped before, "%u" in all
    NotChecked,
};
const char* GuardWordsText(GuardWords words);

// What the enrolment dialog shows for a refusal of the SNK core.
Message EnrolRefusalMessage(EnrolRefusal refusal);
