#include "tests/e2e/figures.h"

#include <psapi.h>

#include <cstdio>
#include <string>
#include <utility>

namespace {

// NtQuerySystemInformation(SystemHandleInformation) rows, 32-bit layout.
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};
struct SystemHandleTable {
    ULONG count;
    SystemHandleEntry entries[1];
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

// Wine's GetProcessHandleCount succeeds with 0 for every process; its system handle table
// is filled in.
long HandlesInSystemTable(DWORD processId) {
    const FARPROC address =
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    if (address == nullptr) return -1;
    const auto query =
        reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void (*)()>(address));
    std::string buffer(1 << 20, '\0');
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        const LONG status =
            query(kSystemHandleInformation, &buffer[0], static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch) {
            buffer.assign(buffer.size() * 2, '\0');
            continue;
        }
        if (status != 0) return -1;
        const auto* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
        long count = 0;
        for (ULONG i = 0; i < table->count; ++i)
            if (table->entries[i].ownerPid == processId) ++count;
        return count;
    }
    return -1;
}

} // namespace

bool ReadFigures(const Program& program, Figures* figures) {
    HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.processId);
    if (process == nullptr) return false;
    *figures = Figures{};
    DWORD handles = 0;
    if (GetProcessHandleCount(process, &handles) && handles != 0) {
        figures->handles = static_cast<long>(handles);
        figures->handleSource = "GetProcessHandleCount";
    } else {
        figures->handles = HandlesInSystemTable(program.processId);
        figures->handleSource = "system handle table";
    }
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    const bool read = K32GetProcessMemoryInfo(
        process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    CloseHandle(process);
    if (!read || figures->handles < 0) return false;
    // Wine leaves PrivateUsage at 0; its PagefileUsage is the committed memory.
    if (memory.PrivateUsage != 0) {
        figures->privateBytes = static_cast<long long>(memory.PrivateUsage);
        figures->memorySource = "PrivateUsage";
    } else {
        figures->privateBytes = static_cast<long long>(memory.PagefileUsage);
        figures->memorySource = "PagefileUsage";
    }
    figures->windows = 0;
    for (const HWND window : TopLevelWindows())
        if (BelongsTo(window, program.processId)) ++figures->windows;
    return true;
}

void PrintFigures(const char* who, const char* when, const Figures& figures) {
    std::printf("%s %-6s handles %ld (%s), private memory %lld KB (%s), top-level windows %d\n",
                who, when, figures.handles, figures.handleSource, figures.privateBytes / 1024,
                figures.memorySource, figures.windows);
}

bool TextsInMemory(const Program& program, const std::vector<std::string>& texts,
                   std::vector<size_t>* found) {
    HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.processId);
    if (process == nullptr) return false;
    // What the program writes lies in its writable memory: its heaps, stacks and data.
    std::string memory, region;
    MEMORY_BASIC_INFORMATION info;
    for (const char* at = nullptr; VirtualQueryEx(process, at, &info, sizeof info) == sizeof info;
         at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
        SIZE_T read = 0;
        if (info.State != MEM_COMMIT || (info.Protect & (PAGE_READWRITE | PAGE_WRITECOPY)) == 0)
            continue;
        region.resize(info.RegionSize);
        if (ReadProcessMemory(process, info.BaseAddress, &region[0], info.RegionSize, &read))
            memory.append(region, 0, read);
    }
    CloseHandle(process);
    found->clear();
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string wide;
        for (const char c : texts[i])
            wide += std::string{c, '\0'};
        if (memory.find(texts[i]) != std::string::npos || memory.find(wide) != std::string::npos)
            found->push_back(i);
    }
    return true;
}
