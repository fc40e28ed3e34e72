#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

// Memory running out on demand, in the one test program that includes this (it is that
// program's operator new): the n-th allocation from now of g_failingFrom bytes or more throws
// std::bad_alloc, and is counted. From 8 MiB up only a document's buffers fail, never the
// toolkit's small ones.
inline std::size_t g_failingFrom = 0;
inline long g_allocationsUntilFailure = -1;  // -1: none fails
inline int g_allocationsFailed = 0;

void* operator new(std::size_t size)
{
    if (size >= g_failingFrom && g_allocationsUntilFailure >= 0 &&
        g_allocationsUntilFailure-- == 0) {
        ++g_allocationsFailed;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return operator new(size, std::nothrow);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
