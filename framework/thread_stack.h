#pragma once

#include <cstddef>

namespace qv {

// Under Wine every thread's stack is at least 1 MB and is written whole before the thread runs,
// so a thread that needs a few kilobytes costs a megabyte of private memory. This gives back the
// pages of the calling thread's stack more than `keep` bytes below the caller; they stay usable
// and come back as fresh pages when the stack grows into them again. Call it from a thread's
// entry (and as its last act, for a stack Wine keeps after the thread ends).
void ReleaseUnusedStack(std::size_t keep = 64 * 1024);

} // namespace qv
