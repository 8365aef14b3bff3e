#pragma once
#include <cstddef>
#include <cstdint>
#include "snk/snk_record.h"

// The enrolment dialog's field checks, in their order, on the texts as read
// with the 40-byte limit. The seed must pass the seed-text test.
enum class EnrolRefusal { None, NoSeed, BadSeed, NoPassword, NoConfirm, Mismatch };

EnrolRefusal CheckEnrolFields(const char* seed, const char* password, const char* confirm);

// Reads a field text as the dialog does: at most kSnkFieldSize - 1 characters,
// NUL-terminated, the rest of `field` zero.
void CopyEnrolField(char field[kSnkFieldSize], const char* text);

// The enrolment in one go: cuts the three texts as the dialog reads them,
// checks them and, when all pass, fills `record` (after a refusal `record` is
// left untouched). Its own copies are wiped; the caller wipes its buffers and
// writes the record.
EnrolRefusal EnrolSnkSeed(const char* seed, const char* password, const char* confirm,
                          std::uint8_t record[kSnkRecordSize]);
