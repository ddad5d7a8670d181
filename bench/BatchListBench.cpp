#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "batch/BatchList.h"
#include "batch/CodePage.h"

namespace {

namespace fs = std::filesystem;

// A scratch folder for the lists and the template, removed at exit.
class Scratch {
public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "quorvel-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~Scratch() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

Scratch& TheScratch() {
    static Scratch scratch;
    return scratch;
}

// Shaped like an encoder template: an object, about a hundred settings, its end.
std::string MakeTemplate() {
    const fs::path path = TheScratch().Path() / "svcd.mcf";
    std::ofstream out(path, std::ios::binary);
    out << "object TMPGEncTemplate\r\n";
    for (int i = 0; i < 100; ++i) {
        out << "  MPEG.Video.Setting" << i << " = " << (i * 37) % 1000 << "\r\n";
    }
    out << "  Comment = 'bench'\r\nend\r\n";
    return path.string();
}

const quorvel::CodePage& Opened(unsigned number) {
    static std::unique_ptr<quorvel::CodePage> pages[2];
    std::unique_ptr<quorvel::CodePage>& page = pages[number == 932 ? 1 : 0];
    if (!page && !quorvel::OpenCodePage(number, page)) std::abort();
    return *page;
}

quorvel::BatchJob MakeJob(std::size_t jobs, const std::string& templateFile, const std::string& stem = "clip") {
    quorvel::BatchJob job;
    job.BatchFile = (TheScratch().Path() / "list.tbe").string();
    job.TemplateFile = templateFile;
    job.SourceDirectory = "Z:\\home\\ann\\Videos\\Holiday 2003";
    job.OutputDirectory = "Z:\\home\\ann\\Encoded\\";
    job.SourceNames.reserve(jobs);
    for (std::size_t i = 0; i < jobs; ++i) job.SourceNames.push_back(stem + std::to_string(i) + ".avi");
    return job;
}

void Report(benchmark::State& state, std::size_t jobs) {
    // items_per_second is jobs per second.
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * jobs));
}

// Formatting and writing only: the list goes to /dev/null.
void StreamList(benchmark::State& state, const std::string& templateFile, unsigned codePage = 1252,
                const std::string& stem = "clip") {
    const std::size_t jobs = static_cast<std::size_t>(state.range(0));
    const quorvel::BatchJob job = MakeJob(jobs, templateFile, stem);
    const quorvel::AdvancedOptions options;
    std::FILE* sink = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        quorvel::Status status = quorvel::WriteBatchListToStream(sink, job, options, Opened(codePage));
        if (!status) state.SkipWithError(status.Message().c_str());
    }
    std::fclose(sink);
    Report(state, jobs);
}

void BM_StreamBuiltIn(benchmark::State& state) { StreamList(state, ""); }
void BM_StreamTemplate(benchmark::State& state) {
    static const std::string templateFile = MakeTemplate();
    StreamList(state, templateFile);
}

// The same list in Shift-JIS against Windows-1252; then names in each page's own script
// (katakana against accented Latin), which go through the converter.
void BM_Stream932(benchmark::State& state) { StreamList(state, "", 932); }
void BM_Stream1252(benchmark::State& state) { StreamList(state, "", 1252); }
void BM_Stream932Katakana(benchmark::State& state) {
    StreamList(state, "", 932, "\xE3\x82\xAF\xE3\x83\xAA\xE3\x83\x83\xE3\x83\x97");
}
void BM_Stream1252Accents(benchmark::State& state) { StreamList(state, "", 1252, "cl\xC3\xAFp\xC3\xA9"); }

// The whole run as the program does it: temporary file, flush to disk, move over the target.
void BM_WriteFileBuiltIn(benchmark::State& state) {
    const std::size_t jobs = static_cast<std::size_t>(state.range(0));
    const quorvel::BatchJob job = MakeJob(jobs, "");
    const quorvel::AdvancedOptions options;
    for (auto _ : state) {
        quorvel::Status status = quorvel::WriteBatchList(job, options);
        if (!status) state.SkipWithError(status.Message().c_str());
    }
    Report(state, jobs);
}

BENCHMARK(BM_StreamBuiltIn)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StreamTemplate)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Stream1252)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Stream932)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Stream1252Accents)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Stream932Katakana)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteFileBuiltIn)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
