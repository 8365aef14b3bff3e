#include "shell/logic/clipboard_logic.h"

#include <cstring>

const char kExcludeFromMonitorsFormat[] = "ExcludeClipboardContentFromMonitorProcessing";
const char kHistoryFormat[] = "CanIncludeInClipboardHistory";
const char kCloudFormat[] = "CanUploadToCloudClipboard";

ChainWindow ChainForwardTarget(ChainWindow self, ChainWindow next) {
    return next == self ? nullptr : next;
}

ChainChange ChainChangeFor(ChainWindow self, ChainWindow next, ChainWindow leaving,
                           ChainWindow following) {
    if (following == self) return ChainChange{next, nullptr};
    const ChainWindow newNext = leaving == next ? following : next;
    return ChainChange{newNext, ChainForwardTarget(self, newNext)};
}

std::size_t CopyClipboardBlock(const char* block, std::size_t blockSize, char* copy) {
    std::size_t length = 0;
    if (block != nullptr) {
        while (length < blockSize && block[length] != '\0') {
            copy[length] = block[length];
            ++length;
        }
    }
    copy[length] = '\0';
    return length;
}

std::size_t BuildCopyText(const char* response, std::size_t responseSize, bool appendReturn,
                          char* block) {
    std::memset(block, 0, kCopyBlockSize);
    const std::size_t lineEnd = appendReturn ? 2 : 0;
    const std::size_t room = kCopyBlockSize - 1 - lineEnd;
    std::size_t length = 0;
    if (response != nullptr) {
        while (length < responseSize && length < room && response[length] != '\0') {
            block[length] = response[length];
            ++length;
        }
    }
    if (appendReturn) {
        block[length++] = '\r';
        block[length++] = '\n';
    }
    return length;
}
