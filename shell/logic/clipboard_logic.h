#pragma once
#include <cstddef>

#include "engine/otp.h"

// Copy's text: the response (a renewal line too), CR LF when Return is on, a NUL.
constexpr std::size_t kCopyBlockSize = kResponseSize + 2;

// Registered clipboard formats. A copier that sets the first asks monitors to
// leave its text alone (password managers do); Copy sets the other two to 0
// so that a one-time password stays out of clipboard history and the cloud.
extern const char kExcludeFromMonitorsFormat[]; // "ExcludeClipboardContentFromMonitorProcessing"
extern const char kHistoryFormat[];             // "CanIncludeInClipboardHistory"
extern const char kCloudFormat[];               // "CanUploadToCloudClipboard"

// A copied list of responses stays on the clipboard this long at most; while another program
// holds the clipboard open, emptying it is tried again after the second time.
constexpr unsigned kListClipboardMs = 30000;
constexpr unsigned kClipboardRetryMs = 500;

// The clipboard-viewer chain. Window handles are only compared here.
using ChainWindow = const void*;

// A neighbour that hangs delays a notice passed on by no more than this.
constexpr unsigned kChainForwardTimeoutMs = 300;

// Where a notice goes next: the next viewer, or nowhere when there is none or
// it names ourselves (a notice sent to ourselves would recurse without end).
ChainWindow ChainForwardTarget(ChainWindow self, ChainWindow next);

struct ChainChange {
    ChainWindow next;      // the next viewer afterwards
    ChainWindow forwardTo; // where the notice is passed on, or null
};

// WM_CHANGECBCHAIN: `leaving` leaves the chain and `following` takes its place.
// A change that would make us our own successor is ignored, not passed on.
ChainChange ChainChangeFor(ChainWindow self, ChainWindow next, ChainWindow leaving,
                           ChainWindow following);

// Copies the text of a clipboard block up to its first NUL into `copy`,
// which holds blockSize + 1 bytes; the block need not hold a NUL at all.
// Returns the length of the copied text.
std::size_t CopyClipboardBlock(const char* block, std::size_t blockSize, char* copy);

// Fills `block` (kCopyBlockSize bytes) with the Copy text of a response
// buffer of `responseSize` bytes. The response is cut so that the text, the
// line end and the NUL always fit. Returns the text length.
std::size_t BuildCopyText(const char* response, std::size_t responseSize, bool appendReturn,
                          char* block);
