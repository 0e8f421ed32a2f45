#include "report/text_search.h"

#include <algorithm>
#include <functional>

namespace tesral {

namespace {

unsigned char folded(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

}  // namespace

long long findIgnoringCase(std::string_view text, std::string_view needle, long long from) {
    if (needle.empty() || from < 0 || static_cast<std::size_t>(from) >= text.size()) return -1;
    const auto hash = [](char c) { return std::hash<unsigned char>()(folded(c)); };
    const auto same = [](char a, char b) { return folded(a) == folded(b); };
    const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end(), hash, same);
    const auto start = text.begin() + from;
    const auto hit = std::search(start, text.end(), searcher);
    return hit == text.end() ? -1 : static_cast<long long>(hit - text.begin());
}

}  // namespace tesral
