#include "shell/services/snk_compute.h"

#include <openssl/crypto.h>

#include "shell/services/store.h"
#include "snk/snk_response.h"

Message ComputeSnkResponse(const char* challenge, const char* password, char* response) {
    std::uint8_t record[kSnkRecordSize] = {};
    std::size_t length = 0;
    if (!ReadSnkRecord(record, length)) {
        OPENSSL_cleanse(record, sizeof record);
        return Message::SnkRegistryRead;
    }
    const SnkResult result = SnkResponseFromRecord(record, length, challenge, password, response);
    OPENSSL_cleanse(record, sizeof record);
    return result == SnkResult::BadPassword ? Message::SnkBadPassword : Message::None;
}
