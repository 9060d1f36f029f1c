// A to-do step with up to three parameters, for the to-do tests.
#pragma once

#include "movaltic/pipeline/todo_list.h"

namespace movaltic {

inline steprec Step(int32_t op, double a = 0, double b = 0, double c = 0) {
    steprec s;
    s.operation = op;
    s.params[0] = a;
    s.params[1] = b;
    s.params[2] = c;
    return s;
}

}  // namespace movaltic
