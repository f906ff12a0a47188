// Google Benchmark for the hot paths, to see where a conversion's time goes: the reader, writeBits,
// each writer on its own and the whole conversion, all with the output on /dev/null through the CR LF
// output layer.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>

#include "crlf_file_buf.h"
#include "hex_record_reader.h"
#include "line_format.h"
#include "mif_writer.h"
#include "vhdl_array_writer.h"
#include "vhdl_case_writer.h"
#include "write_rom.h"

namespace {

using namespace romtools;

// 1 MiB of random data in 16-byte records with CR LF line ends.
const std::string& sampleHex() {
    static const std::string text = [] {
        std::mt19937 random(1);
        std::string hex;
        char line[64];
        for (unsigned offset = 0; offset < 1024 * 1024; offset += 16) {
            int length = std::snprintf(line, sizeof line, ":10%04X00", offset & 0xFFFF);
            for (int i = 0; i < 16; ++i) {
                length += std::snprintf(line + length, sizeof line - length, "%02X", static_cast<unsigned>(random() & 0xFF));
            }
            hex.append(line, length).append("00\r\n");
        }
        return hex;
    }();
    return text;
}

void BM_Reader(benchmark::State& state) {
    const std::string& hex = sampleHex();
    for (auto _ : state) {
        std::FILE* file = fmemopen(const_cast<char*>(hex.data()), hex.size(), "r");
        TextInput input(file);
        InputWarnings warnings("bench", nullptr);
        HexRecordReader reader(input, warnings, {static_cast<unsigned>(state.range(0))});
        RomWord word;
        std::uint64_t sum = 0;
        while (reader.nextWord(word)) {
            sum += word.data;
        }
        benchmark::DoNotOptimize(sum);
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * hex.size()));
}
BENCHMARK(BM_Reader)->Arg(2)->Arg(1)->Arg(4);  // bytes a word

// Output on /dev/null through the output layer, as the programs write it.
struct NullOutput {
    std::FILE* file = std::fopen("/dev/null", "wb");
    CrLfFileBuf buffer{file};
    LineSink sink{buffer};
    ~NullOutput() {
        buffer.finish();
        std::fclose(file);
    }
};

void BM_WriteBits(benchmark::State& state) {
    NullOutput null;
    std::uint64_t value = 0;
    for (auto _ : state) {
        writeBits(null.sink, value++, static_cast<std::int32_t>(state.range(0)));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteBits)->Arg(14)->Arg(64);

template <typename Writer>
void BM_WriteWord(benchmark::State& state) {
    NullOutput null;
    Writer writer;
    RomWord word;
    const RomShape shape{static_cast<std::int32_t>(state.range(0)), kDefaultDataWidth};
    for (auto _ : state) {
        writer.writeWord(null.sink, word, shape);
        ++word.address;
        word.data = static_cast<std::uint16_t>(word.data * 31 + 7);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK_TEMPLATE(BM_WriteWord, VhdlCaseRomWriter)->Arg(13)->Arg(64);
BENCHMARK_TEMPLATE(BM_WriteWord, VhdlArrayRomWriter)->Arg(13);
BENCHMARK_TEMPLATE(BM_WriteWord, MifWriter)->Arg(13);

// The whole conversion as the programs run it: the reader through writeRom into a writer.
template <typename Writer>
void BM_WriteRom(benchmark::State& state) {
    const std::string& hex = sampleHex();
    NullOutput null;
    Writer writer;
    for (auto _ : state) {
        std::FILE* file = fmemopen(const_cast<char*>(hex.data()), hex.size(), "r");
        TextInput input(file);
        InputWarnings warnings("bench", nullptr);
        HexRecordReader reader(input, warnings);
        benchmark::DoNotOptimize(writeRom(reader, warnings, writer, null.sink, {{"bench", "bench"}, {13}}).widthNeeded());
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * hex.size()));
}
BENCHMARK_TEMPLATE(BM_WriteRom, VhdlCaseRomWriter);
BENCHMARK_TEMPLATE(BM_WriteRom, MifWriter);

}  // namespace

BENCHMARK_MAIN();
