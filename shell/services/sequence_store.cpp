#include "shell/services/sequence_store.h"

#include <windows.h>

#include <sddl.h>
#include <wincrypt.h>

#include <openssl/crypto.h>

namespace {

const char kKeyPath[] = "Software\\Vantreth";
const char kValueName[] = "Sequences";
const char kOldKeyPath[] = "Software\\Vantreth\\Sequences";
// The protected memory is a few hundred bytes longer than the memory; a longer value is none.
constexpr DWORD kProtectedLimit = 2 * kSequenceMemorySize;
// A writer holds the lock for a registry read and write; one that holds it longer has hung.
constexpr DWORD kLockWaitMs = 10000;

const wchar_t kLockPrefix[] = L"Local\\Vantreth.Sequences.";

// The prefix and the user's SID: one lock per user and session.
bool LockName(wchar_t name[128]) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    alignas(TOKEN_USER) BYTE user[256];
    DWORD length = 0;
    wchar_t* sid = nullptr;
    const bool named =
        GetTokenInformation(token, TokenUser, user, sizeof user, &length) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid) &&
        lstrlenW(sid) < 128 - lstrlenW(kLockPrefix);
    if (named) lstrcatW(lstrcpyW(name, kLockPrefix), sid);
    if (sid != nullptr) LocalFree(sid);
    CloseHandle(token);
    return named;
}

HANDLE Lock() {
    wchar_t name[128];
    if (!LockName(name)) return nullptr;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    if (mutex == nullptr) return nullptr;
    const DWORD waited = WaitForSingleObject(mutex, kLockWaitMs);
    // An owner that ended holding it left the value whole: RegSetValueEx writes it at once.
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return mutex;
    CloseHandle(mutex);
    return nullptr;
}

void Unlock(HANDLE mutex) {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

void ReadMemory(HKEY key, SequenceMemory* memory) {
    memory->size = 0;
    BYTE stored[kProtectedLimit];
    DWORD type = 0;
    DWORD length = sizeof stored;
    if (RegQueryValueExA(key, kValueName, nullptr, &type, stored, &length) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return;
    DATA_BLOB in = {length, stored};
    DATA_BLOB out = {};
    if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                            &out))
        return;
    if (!DecodeSequenceMemory(out.pbData, out.cbData, memory)) memory->size = 0;
    OPENSSL_cleanse(out.pbData, out.cbData);
    LocalFree(out.pbData);
}

bool WriteMemory(HKEY key, const SequenceMemory& memory) {
    BYTE plain[kSequenceMemorySize];
    EncodeSequenceMemory(memory, plain);
    DATA_BLOB in = {sizeof plain, plain};
    DATA_BLOB out = {};
    const bool written =
        CryptProtectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                         &out) &&
        RegSetValueExA(key, kValueName, 0, REG_BINARY, out.pbData, out.cbData) == ERROR_SUCCESS;
    OPENSSL_cleanse(plain, sizeof plain);
    if (out.pbData != nullptr) LocalFree(out.pbData);
    return written;
}

// 0.15's values, wherever a 0.15 left them, into `memory`, written with it and deleted.
void CarryOver(HKEY key, SequenceMemory& memory) {
    HKEY oldKey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kOldKeyPath, 0, KEY_QUERY_VALUE, &oldKey) != ERROR_SUCCESS)
        return;
    OldSequence old[kSequenceLimit];
    std::size_t count = 0;
    for (DWORD index = 0; count < kSequenceLimit; ++index) {
        char name[kSequenceNameSize];
        DWORD nameLength = sizeof name;
        BYTE data[16];
        DWORD length = sizeof data;
        DWORD type = 0;
        const LONG status =
            RegEnumValueA(oldKey, index, name, &nameLength, nullptr, &type, data, &length);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_SUCCESS && type == REG_BINARY &&
            DecodeOldSequence(name, data, length, &old[count]))
            ++count;
    }
    RegCloseKey(oldKey);
    CarryOverOldSequences(memory, old, count);
    OPENSSL_cleanse(old, sizeof old);
    if (count == 0 || WriteMemory(key, memory)) RegDeleteKeyA(HKEY_CURRENT_USER, kOldKeyPath);
}

// Under the lock: the memory read, the sequence `name`'s record in `found`, and with `answer`
// written back with the answer taken in. False when the memory cannot be reached.
bool Visit(const char* name, const SequenceAnswer* answer, SequenceRecord* found) {
    HANDLE lock = Lock();
    if (lock == nullptr) return false;
    HKEY key;
    const REGSAM access = KEY_QUERY_VALUE | KEY_SET_VALUE;
    // Only a change makes the key.
    bool reached =
        (answer != nullptr
             ? RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                               access, nullptr, &key, nullptr)
             : RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, access, &key)) == ERROR_SUCCESS;
    if (reached) {
        SequenceMemory memory;
        ReadMemory(key, &memory);
        CarryOver(key, memory);
        const SequenceRecord* stored = name != nullptr ? FindSequence(memory, name) : nullptr;
        reached = stored != nullptr || answer != nullptr;
        if (stored != nullptr && found != nullptr) *found = *stored;
        if (answer != nullptr) {
            PutSequence(memory, name, RecordAfterAnswer(stored, *answer));
            reached = WriteMemory(key, memory);
        }
        OPENSSL_cleanse(&memory, sizeof memory);
        RegCloseKey(key);
    }
    Unlock(lock);
    return reached;
}

} // namespace

bool LookUpSequence(HashKind kind, const char* seed, SequenceRecord* record) {
    char name[kSequenceNameSize];
    return SequenceName(kind, seed, name) && Visit(name, nullptr, record);
}

bool RememberSequence(HashKind kind, const char* seed, const SequenceAnswer& answer) {
    char name[kSequenceNameSize];
    return SequenceName(kind, seed, name) && Visit(name, &answer, nullptr);
}

void OpenSequenceMemory() {
    Visit(nullptr, nullptr, nullptr);
}
