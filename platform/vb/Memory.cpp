#include "Memory.h"

#include <malloc.h>

namespace vb {

void keepFreedMemory()
{
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
}

}  // namespace vb
