#pragma once

#include <cstdlib>

// A property every input must keep; a broken one is a finding, reported like a crash.
inline void require(bool property) {
    if (!property)
        std::abort();
}
