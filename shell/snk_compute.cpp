#include "shell/snk_compute.h"

#include <openssl/crypto.h>

#include "shell/message_box.h"
#include "shell/store.h"
#include "snk/snk_response.h"

bool ComputeSnkResponse(HWND asker, const char* challenge, const char* password, char* response) {
    std::uint8_t record[kSnkRecordSize] = {};
    std::size_t length = 0;
    if (!ReadSnkRecord(record, length)) {
        OPENSSL_cleanse(record, sizeof record);
        ShowMessage(asker, Message::SnkRegistryRead);
        return false;
    }
    const SnkResult result = SnkResponseFromRecord(record, length, challenge, password, response);
    OPENSSL_cleanse(record, sizeof record);
    if (result == SnkResult::BadPassword) {
        ShowMessage(asker, Message::SnkBadPassword);
        return false;
    }
    return true;
}
