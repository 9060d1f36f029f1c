// The runtime error number a call raises, 0 when it raises none: lets a test
// state the expected error in one line.
#pragma once

#include "quarvex/runtime/errors.h"

#include <functional>

namespace qvrt {

inline int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace qvrt
