#include "data_file.h"

#include <cstdio>

bool ReadDataFile(const char* name, std::string* contents, std::string* path) {
    *path = std::string(VANTRETH_TEST_DATA_DIR) + "/" + name;
    std::FILE* file = std::fopen(path->c_str(), "rb");
    if (file == nullptr) return false;
    contents->clear();
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        contents->append(buffer, n);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}
