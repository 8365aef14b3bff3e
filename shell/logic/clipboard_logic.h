#pragma once
#include <cstddef>

#include "shell/logic/settings.h"

// Copy's clipboard block: the response, CR LF when Return is on, a NUL.
constexpr std::size_t kCopyBlockSize = 65;

bool ShouldScanClipboard(const Settings& settings);

// Copies the text of a clipboard block up to its first NUL into `copy`,
// which holds blockSize + 1 bytes; the block need not hold a NUL at all.
// Returns the length of the copied text.
std::size_t CopyClipboardBlock(const char* block, std::size_t blockSize, char* copy);

// Fills `block` (kCopyBlockSize bytes) with the Copy text of a response
// buffer of `responseSize` bytes. The response is cut so that the text, the
// line end and the NUL always fit. Returns the text length.
std::size_t BuildCopyText(const char* response, std::size_t responseSize, bool appendReturn,
                          char* block);
