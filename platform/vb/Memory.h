// How the process keeps memory it has freed.
#pragma once

namespace vb {

// Keeps up to 64 MiB of freed heap for the next allocations instead of handing the top of the
// heap back to the system at each free: a data query holds its whole result and frees it at
// close, and with the allocator's default the next query faulted every page back in.
void keepFreedMemory();

}  // namespace vb
