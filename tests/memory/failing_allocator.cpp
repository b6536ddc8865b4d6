#include "failing_allocator.h"

#include <cstdlib>
#include <new>

namespace failing_allocator {

namespace {

// One thread uses them: the tests translate in the thread that arms.
bool armed = false;
long countdown = -1;  // allocations before the failing one; -1: none fails
long counted = 0;
bool persists = false;
bool has_failed = false;
long blocks = 0;

bool must_fail()
{
    if (!armed)
        return false;
    ++counted;
    if (has_failed && persists)
        return true;
    if (countdown < 0 || --countdown > 0)
        return false;
    countdown = -1;
    has_failed = true;
    return true;
}

void* allocate(std::size_t size)
{
    if (must_fail())
        return nullptr;
    void* block = std::malloc(size ? size : 1);
    if (block)
        ++blocks;
    return block;
}

void release(void* block)
{
    if (block) {
        --blocks;
        std::free(block);
    }
}

}  // namespace

void arm(long n, bool persistent)
{
    armed = true;
    countdown = n > 0 ? n : -1;
    counted = 0;
    persists = persistent;
    has_failed = false;
}

void disarm()
{
    armed = false;
    countdown = -1;
    persists = false;
}

long made()
{
    return counted;
}

bool failed()
{
    return has_failed;
}

long held()
{
    return blocks;
}

}  // namespace failing_allocator

void* operator new(std::size_t size)
{
    if (void* block = failing_allocator::allocate(size))
        return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return failing_allocator::allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return failing_allocator::allocate(size);
}

void operator delete(void* block) noexcept
{
    failing_allocator::release(block);
}

void operator delete[](void* block) noexcept
{
    failing_allocator::release(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    failing_allocator::release(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    failing_allocator::release(block);
}
