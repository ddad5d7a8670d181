#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "cli/QuorvelBatch.h"

namespace quorvel::cli::test {

namespace fs = std::filesystem;

namespace {

std::string ReadBack(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    std::fclose(file);
    return text;
}

template <typename Call>
RunResult Capture(Call call) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    RunResult result;
    result.Status = call(out, err);
    result.Out = ReadBack(out);
    result.Err = ReadBack(err);
    return result;
}

}  // namespace

RunResult RunCli(const std::vector<std::string>& args, const PathResolver& resolver) {
    return Capture([&](std::FILE* out, std::FILE* err) { return RunQuorvelBatch(args, out, err, resolver); });
}

RunResult RunCli(const std::vector<std::string>& args) {
    return Capture([&](std::FILE* out, std::FILE* err) { return RunQuorvelBatch(args, out, err); });
}

RunResult RunCliWithInput(const std::vector<std::string>& args, const std::string& input,
                          const PathResolver& resolver) {
    std::FILE* in = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    RunResult result =
        Capture([&](std::FILE* out, std::FILE* err) { return RunQuorvelBatch(args, in, out, err, resolver); });
    std::fclose(in);
    return result;
}

std::string ExpectedList(const std::string& name) {
    const fs::path path = fs::path(QUORVEL_CLI_EXPECTED_DIR) / name;
    EXPECT_TRUE(fs::exists(path)) << "no expected list " << name;
    return ReadFile(path);
}

void ExpectListIs(const std::string& actual, const std::string& name) {
    const std::string expected = ExpectedList(name);
    EXPECT_TRUE(actual == expected) << "the list differs from expected/" << name << "; written to actual-" << name;
    if (actual != expected) WriteFile(fs::temp_directory_path() / ("actual-" + name), actual);
}

TempDirectory::TempDirectory() {
    std::random_device random;
    for (;;) {
        const fs::path candidate = fs::temp_directory_path() / ("quorvel-cli-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            path_ = fs::canonical(candidate);
            return;
        }
    }
}

TempDirectory::~TempDirectory() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void WriteFile(const fs::path& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary);
    file << content;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> DirectoryNames(const fs::path& path) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> QuotedValues(const std::string& list, const std::string& key) {
    std::vector<std::string> values;
    const std::string opening = key + " = '";
    for (std::size_t at = list.find(opening); at != std::string::npos; at = list.find(opening, at + 1)) {
        const std::size_t start = at + opening.size();
        const std::size_t lineEnd = list.find("\r\n", start);
        const std::size_t close = list.rfind('\'', lineEnd);
        values.push_back(list.substr(start, close - start));
    }
    return values;
}

}  // namespace quorvel::cli::test
