// Writing a full-HD 24-bit picture through WritePackedDib, against one plain write of the same bytes.
#include "Ratios.h"
#include "output/DibFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<uint8_t> MakeBlock(int width, int height)
{
    const uint32_t image = DibRowBytes(width, 24) * height;
    std::vector<uint8_t> block(sizeof(DibHeader) + image);
    DibHeader header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = image;
    std::memcpy(block.data(), &header, sizeof header);
    for (size_t i = sizeof header; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 7);
    return block;
}

std::string ScratchFile()
{
    return "/tmp/flickmere-bench-" + std::to_string(::getpid()) + ".bmp";
}

void BM_PlainWrite(benchmark::State& state)
{
    const auto block = MakeBlock(1920, 1080);
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
    const auto block = MakeBlock(1920, 1080);
    const std::string name = ScratchFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(WritePackedDib(name.c_str(), block.data(), block.size()));
    std::remove(name.c_str());
}

BENCHMARK(BM_PlainWrite)->Name("BM_PlainWrite/1920x1080")->UseRealTime();
BENCHMARK(BM_WritePackedDib)->Name("BM_WritePackedDib/1920x1080")->UseRealTime();
FLICKMERE_RATIO("BM_WritePackedDib/1920x1080", "BM_PlainWrite/1920x1080", 1.5);

} // namespace
