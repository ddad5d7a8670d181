#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "batch/BatchList.h"

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

quorvel::BatchJob MakeJob(std::size_t jobs, const std::string& templateFile) {
    quorvel::BatchJob job;
    job.BatchFile = (TheScratch().Path() / "list.tbe").string();
    job.TemplateFile = templateFile;
    job.SourceDirectory = "Z:\\home\\ann\\Videos\\Holiday 2003";
    job.OutputDirectory = "Z:\\home\\ann\\Encoded\\";
    job.SourceNames.reserve(jobs);
    for (std::size_t i = 0; i < jobs; ++i) job.SourceNames.push_back("clip" + std::to_string(i) + ".avi");
    return job;
}

void Report(benchmark::State& state, std::size_t jobs) {
    // items_per_second is jobs per second.
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * jobs));
}

// Formatting and writing only: the list goes to /dev/null.
void StreamList(benchmark::State& state, const std::string& templateFile) {
    const std::size_t jobs = static_cast<std::size_t>(state.range(0));
    const quorvel::BatchJob job = MakeJob(jobs, templateFile);
    const quorvel::AdvancedOptions options;
    std::FILE* sink = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        quorvel::Status status = quorvel::WriteBatchListToStream(sink, job, options);
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
BENCHMARK(BM_WriteFileBuiltIn)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
