#include "data_file.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

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

std::vector<Rfc2289Vector> ReadRfc2289Vectors() {
    std::vector<Rfc2289Vector> vectors;
    std::string contents, path;
    if (!ReadDataFile("rfc2289-vectors.tsv", &contents, &path)) return vectors;
    std::istringstream lines(contents);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            fields.push_back(cell);
        if (fields.size() != 6) break;
        const HashKind kind = fields[0] == "md4"   ? HashKind::MD4
                              : fields[0] == "md5" ? HashKind::MD5
                                                   : HashKind::SHA1;
        const auto count = static_cast<std::uint32_t>(std::strtoul(fields[3].c_str(), nullptr, 10));
        vectors.push_back({kind, fields[1], fields[2], count, fields[4], fields[5]});
    }
    return vectors;
}
