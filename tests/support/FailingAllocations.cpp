#include "FailingAllocations.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> g_failFrom{SIZE_MAX};
std::atomic<int> g_failures{0};

} // namespace

void* operator new(size_t size)
{
    if (size >= g_failFrom.load()) {
        ++g_failures;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}

namespace testalloc {

CFailingAllocations::CFailingAllocations(size_t minBytes)
{
    g_failures = 0;
    g_failFrom = minBytes;
}

CFailingAllocations::~CFailingAllocations()
{
    g_failFrom = SIZE_MAX;
}

int CFailingAllocations::Failures() const
{
    return g_failures.load();
}

} // namespace testalloc
