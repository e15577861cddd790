#pragma once
// Out of memory on demand: the test programs that link FailingAllocations.cpp replace the global
// operator new, so the program's own code meets a real std::bad_alloc where it allocates.
#include <cstddef>

namespace testalloc {

// While it lives, every allocation of `minBytes` or more fails; smaller ones, which the test framework
// itself needs, go through.
class CFailingAllocations
{
public:
    explicit CFailingAllocations(size_t minBytes);
    ~CFailingAllocations();
    CFailingAllocations(const CFailingAllocations&) = delete;
    CFailingAllocations& operator=(const CFailingAllocations&) = delete;

    // How many allocations failed so far.
    int Failures() const;
};

} // namespace testalloc
