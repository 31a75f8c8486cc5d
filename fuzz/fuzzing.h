#pragma once

#include <cstdlib>

// A fuzzer's check: one that fails ends the run, and libFuzzer keeps the input that did it.
inline void require(bool condition)
{
    if (!condition)
        std::abort();
}
