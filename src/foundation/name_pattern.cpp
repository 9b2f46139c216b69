#include "foundation/name_pattern.h"

#include <cstddef>

namespace Qorm::File {
namespace {

// Greedy match that backtracks only to the last "*" seen: linear in
// practice and never recursive, whatever the pattern.
bool matchesWildcards(std::u16string_view name, std::u16string_view pattern)
{
    std::size_t n = 0, p = 0;
    std::size_t starAt = std::u16string_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::u16string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool matchesNamePattern(std::u16string_view name, std::u16string_view pattern)
{
    if (matchesWildcards(name, pattern))
        return true;
    constexpr std::u16string_view AnyExtension = u".*";
    if (pattern.size() >= AnyExtension.size() && pattern.substr(pattern.size() - 2) == AnyExtension &&
        name.find(u'.') == std::u16string_view::npos)
        return matchesWildcards(name, pattern.substr(0, pattern.size() - 2));
    return false;
}

} // namespace Qorm::File
