#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cli/Platform.h"

namespace quorvel::cli::test {

struct RunResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

RunResult RunCli(const std::vector<std::string>& args, const PathResolver& resolver);
RunResult RunCli(const std::vector<std::string>& args);
// With input as standard input.
RunResult RunCliWithInput(const std::vector<std::string>& args, const std::string& input, const PathResolver& resolver);

// The bytes of an expected list in tests/cli/expected. A list that differs is written to
// the temporary folder as actual-NAME, for a look at the difference.
std::string ExpectedList(const std::string& name);
void ExpectListIs(const std::string& actual, const std::string& name);

// A fresh directory, removed with everything in it at the end of the test.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const std::string& content);
std::string ReadFile(const std::filesystem::path& path);
std::vector<std::string> DirectoryNames(const std::filesystem::path& path);

// The values of the lines holding KEY = '...', in file order.
std::vector<std::string> QuotedValues(const std::string& list, const std::string& key);

}  // namespace quorvel::cli::test
