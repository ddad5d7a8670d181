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
