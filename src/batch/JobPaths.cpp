#include "JobPaths.h"

#include "PathCompare.h"

namespace quorvel {
namespace {

std::string FolderWithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder;
}

}  // namespace

bool EndsWithMpg(std::string_view name) {
    if (name.size() < 4) return false;
    const std::string_view end = name.substr(name.size() - 4);
    return end[0] == '.' && (end[1] | 0x20) == 'm' && (end[2] | 0x20) == 'p' && (end[3] | 0x20) == 'g';
}

std::string FolderPart(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return std::string();
    // "C:\" keeps its separator, as source directories do.
    return slash == 2 && path[1] == ':' ? path.substr(0, 3) : path.substr(0, slash);
}

std::string StripTrailingBackslash(std::string_view path) {
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return std::string(path);
}

std::string StripExtension(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return std::string(fileName);
    return std::string(fileName.substr(0, dot));
}

std::string EscapeSingleQuotes(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        if (c == '\'') {
            escaped += "'#39'";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

const std::string& SourceDirectoryOf(const BatchJob& job, std::size_t source) {
    if (source < job.SourceDirectories.size() && !job.SourceDirectories[source].empty()) {
        return job.SourceDirectories[source];
    }
    return job.SourceDirectory;
}

std::string OutputFolder(const BatchJob& job) { return FolderWithSeparator(job.OutputDirectory); }

std::string OutputFolderOf(const BatchJob& job, std::size_t source) {
    return job.OutputsBesideSources ? FolderWithSeparator(SourceDirectoryOf(job, source)) : OutputFolder(job);
}

std::string SourcePath(const BatchJob& job, std::size_t source) {
    std::string path = StripTrailingBackslash(SourceDirectoryOf(job, source));
    path += '\\';
    path += job.SourceNames[source];
    return path;
}

std::string OutputPath(const BatchJob& job, std::size_t source) {
    return OutputFolderOf(job, source) + StripExtension(job.SourceNames[source]) + ".mpg";
}

std::string ShownSource(const BatchJob& job, std::size_t source) {
    if (source < job.ShownSources.size()) return job.ShownSources[source];
    return job.SourceDirectories.empty() ? job.SourceNames[source] : SourcePath(job, source);
}

bool IsOwnOutput(const BatchJob& job, std::size_t source) {
    return EndsWithMpg(job.SourceNames[source]) && SamePath(OutputPath(job, source), SourcePath(job, source));
}

}  // namespace quorvel
