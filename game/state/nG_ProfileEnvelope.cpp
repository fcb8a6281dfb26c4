#include "game/state/nG_ProfileEnvelope.h"

#include <cstdio>
#include <cstdlib>

int32_t nG_ProfileEnvelope::byteSum(const char* data, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i < size; ++i) sum += static_cast<unsigned char>(data[i]);
    return static_cast<int32_t>(sum);
}

std::string nG_ProfileEnvelope::wrap(const std::string& xml) {
    char head[32];
    std::snprintf(head, sizeof head, "<!--%d-->\n", static_cast<int>(byteSum(xml.data(), xml.size())));
    return head + xml;
}

nG_ProfileEnvelope::Check nG_ProfileEnvelope::check(const std::string& file) {
    const size_t open = file.find("<!--");
    const size_t close = file.find("-->");
    if (open != 0 || close == std::string::npos || close < open + 4) return kBadEnvelope;
    const size_t n = close - 4;
    if (n > kMaxNumberText) return kBadEnvelope;
    const std::string number = file.substr(4, n);
    // strtoll saturates where atol would overflow.
    const long long expected = std::strtoll(number.c_str(), nullptr, 10);
    const size_t start = n + 8;
    const int32_t sum = start < file.size() ? byteSum(file.data() + start, file.size() - start) : 0;
    return expected == sum ? kGood : kBadSum;
}
