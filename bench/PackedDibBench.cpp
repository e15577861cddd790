// Writing a full-HD 24-bit picture through WritePackedDib, against one plain write of the same bytes.
#include "DibBlock.h"
#include "Ratios.h"
#include "output/DibFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string ScratchFile()
{
    return "/tmp/flickmere-bench-" + std::to_string(::getpid()) + ".bmp";
}

void BM_PlainWrite(benchmark::State& state)
{
    const auto block = PatternedDibBlock(1920, 1080, 24);
    const std::string name = ScratchFile();
    for (auto _ : state) {
        std::FILE* f = std::fopen(name.c_str(), "wb");
        std::fwrite(block.data(), 1, block.size(), f);
        std::fclose(f);
    }
    std::remove(name.c_str());
}

void BM_WritePackedDib(benchmark::State& state)
{
    const auto block = PatternedDibBlock(1920, 1080, 24);
    const std::string name = ScratchFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(WritePackedDib(name.c_str(), block.data(), block.size()));
    std::remove(name.c_str());
}

BENCHMARK(BM_PlainWrite)->Name("BM_PlainWrite/1920x1080")->UseRealTime();
BENCHMARK(BM_WritePackedDib)->Name("BM_WritePackedDib/1920x1080")->UseRealTime();
FLICKMERE_RATIO("BM_WritePackedDib/1920x1080", "BM_PlainWrite/1920x1080", 1.5);

} // namespace
