#pragma once
#include "snk/snk_enrol.h"

// Every text the program shows in a message box, the box it goes in, and the
// result code of the dialog that refuses with it. Written here once.

enum class Box {
    InputError, // "Input Error", error icon
    Error,      // "Error", error icon
    Warning,    // "Warning", warning icon
    Question,   // "WARNING", question icon, Yes and No
};

enum class Message {
    None,
    // Ok in the main dialog, in the order the fields are checked
    BadCount,
    NoSeed,
    NoPassPhrase,
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
    DockTimeMissing,
    DockTimeRange,
    DecrTimeRange,
    DecrTimeZero,
    ReconfigureSnk,
    // With the system error code filled in: a pattern with "%02x" and "%d"
    DialogCreate,
    ClipboardAlloc,
};

struct MessageEntry {
    Message message;
    Box box;
    const char* text;
    int dialogResult; // what the refusing dialog procedure returns; 0 where none
};

// The row of `message`; Message::None has a null text.
const MessageEntry& MessageFor(Message message);
const char* BoxCaption(Box box);

// What the enrolment dialog shows for a refusal of the SNK core.
Message EnrolRefusalMessage(EnrolRefusal refusal);
