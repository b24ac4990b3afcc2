// FUZZ_REQUIRE(condition): what a fuzz target asserts of the reader's result. A failure
// prints the condition and aborts, which libFuzzer reports as a finding with the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition)                                                                                                            \
    do {                                                                                                                                   \
        if (!(condition)) {                                                                                                                \
            std::fprintf(stderr, "%s:%d: requirement failed: %s\n", __FILE__, __LINE__, #condition);                                       \
            std::abort();                                                                                                                  \
        }                                                                                                                                  \
    } while (0)
