#include "engine/core/nE_Xml.h"

#include <tinyxml2.h>

#include <climits>
#include <cstdlib>

std::string nE_Xml::text(const tinyxml2::XMLElement* element, const char* name, const char* fallback) {
    const char* value = element ? element->Attribute(name) : nullptr;
    return value ? value : (fallback ? fallback : "");
}

int nE_Xml::integer(const tinyxml2::XMLElement* element, const char* name, int fallback) {
    const char* value = element ? element->Attribute(name) : nullptr;
    if (!value) return fallback;
    char* end = nullptr;
    const long long n = std::strtoll(value, &end, 10);
    if (end == value) return fallback;
    return n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : static_cast<int>(n);
}

float nE_Xml::number(const tinyxml2::XMLElement* element, const char* name, float fallback) {
    const char* value = element ? element->Attribute(name) : nullptr;
    if (!value) return fallback;
    char* end = nullptr;
    const float n = std::strtof(value, &end);
    return end == value ? fallback : n;
}
