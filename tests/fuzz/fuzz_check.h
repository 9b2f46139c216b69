// What a fuzz target asserts: a broken promise stops the run where libFuzzer
// sees it and keeps the input.
#pragma once

#include <cstdlib>

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}
