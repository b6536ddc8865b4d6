// An operator new that fails on request, for the tests of memory running out
// (linked into a test program, or preloaded into tclsh): once armed, the
// n-th allocation fails (std::bad_alloc, or null for the nothrow forms), and
// with `persistent` every one after it too. It counts allocations and the
// blocks still held, so that a test can tell that nothing leaked.
#ifndef TESSEL_TESTS_FAILING_ALLOCATOR_H
#define TESSEL_TESTS_FAILING_ALLOCATOR_H

namespace failing_allocator {

// The n-th allocation from now fails (n >= 1); 0 counts without failing.
void arm(long n, bool persistent = false);
void disarm();
// Allocations from arm to disarm, and whether one has failed.
long made();
bool failed();
// Blocks allocated and not yet released, all told.
long held();

}  // namespace failing_allocator

#endif
