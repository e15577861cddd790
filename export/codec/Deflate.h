#pragma once
// zlib streams, as PNG stores its pixel data, made a piece at a time so that the whole input is never
// held at once.
#include "common/Result.h"

#include <cstdint>
#include <memory>
#include <vector>

// How hard deflate searches: kDeflateQuick to compare candidates with, kDeflateMiddle to compare them
// more closely, kDeflateBest for what is kept.
constexpr int kDeflateQuick = 1;
constexpr int kDeflateMiddle = 6;
constexpr int kDeflateBest = 9;

class CDeflater
{
public:
    explicit CDeflater(int level);
    ~CDeflater();
    CDeflater(const CDeflater&) = delete;
    CDeflater& operator=(const CDeflater&) = delete;

    void Add(const uint8_t* bytes, size_t size);
    // The whole stream; fails when zlib could not start or compress.
    CResult<std::vector<uint8_t>> Finish();

private:
    void Run(int flush);

    struct Stream;
    std::unique_ptr<Stream> m_stream;
    std::vector<uint8_t> m_out;
    bool m_ok = true;
};
