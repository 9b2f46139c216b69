// File-name patterns as the directory search understands them.
#pragma once

#include <string_view>

namespace Qorm::File {

// True when the name matches the pattern: "*" stands for any run of
// characters, "?" for exactly one, everything else for itself (compared
// exactly; callers fold case first). As in the platform's directory
// search, a pattern ending in ".*" also matches names without an extension,
// so "*.*" matches every name.
bool matchesNamePattern(std::u16string_view name, std::u16string_view pattern);

} // namespace Qorm::File
