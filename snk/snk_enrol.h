#pragma once
#include <cstddef>

// The enrolment dialog's field checks, in their order. `Read*` are the texts
// as read with the 40-byte limit.
struct EnrolCheck {
    int result;          // 0 when all fields pass, else the dialog procedure's return (2, 3, 4)
    const char* message; // the "Error" box text for a refusal, nullptr when all pass
};

EnrolCheck CheckEnrolFields(const char* seed, const char* password, const char* confirm);
