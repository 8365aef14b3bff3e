#pragma once
#include <cstddef>
#include <cstdint>

constexpr std::size_t kSnkRecordSize = 31; // the SNK-S registry value
constexpr std::size_t kSnkFieldSize = 40;  // enrolment fields are read with this limit

// Encrypts the first min(strlen(seedText), 31) bytes of the seed text under
// the password into `record`; the rest of the record is zero.
void EncryptSnkRecord(const char* seedText, const char* password,
                      std::uint8_t record[kSnkRecordSize]);

// Decrypts `length` (<= 31) record bytes under the password. Returns true and
// fills `key` when they form a valid seed text; false means a bad password,
// and `key` is left untouched. A length above 31 is refused the same way.
bool DecryptSnkRecord(const std::uint8_t* record, std::size_t length, const char* password,
                      std::uint8_t key[8]);
