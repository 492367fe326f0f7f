#include "classes/exceptions.h"

namespace cls {

void Abort() {
    throw EAbort(SOperationAborted);
}

} // namespace cls
