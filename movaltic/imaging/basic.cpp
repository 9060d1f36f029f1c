#include "movaltic/imaging/basic.h"

namespace movaltic {

int32_t ErrCode = 0;

}  // namespace movaltic
