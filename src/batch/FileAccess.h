#pragma once

// The file system steps of the core whose implementation depends on the platform:
// FileAccessPosix.cpp here, src/win/AtomicFile.cpp on Windows. Paths are UTF-8.

#include <cstdio>
#include <memory>
#include <string>

#include "BatchOutput.h"
#include "Status.h"

namespace quorvel {

// A new file that takes the place of its target only when committed. It is written under
// a temporary name in the target's own folder; destroying it uncommitted removes that
// file, so a failure leaves the target as it was.
class AtomicFile : public ByteSink {
public:
    // Flushes the data to the disk, then moves the file over the target.
    virtual Status Commit() = 0;
};

// Refuses a target that is a folder, is read-only or lies in a folder that does not
// exist; otherwise creates the temporary file. Messages name the target.
Status CreateAtomicFile(const std::string& target, std::unique_ptr<AtomicFile>& file);

// What a path names here. NoDrive: its drive letter names no drive (Windows only); Other: a
// device, or a path that cannot be looked at (a drive that is not ready, no permission).
enum class PathKind { Missing, Folder, File, NoDrive, Other };
PathKind KindOfPath(const std::string& path);

// Opens a file for reading in binary mode. On failure gives nullptr and a reason for the
// user ("file not found", ...).
std::FILE* OpenFileForReading(const std::string& path, std::string& reason);

// A short reason for the user for a C library error number.
std::string FileErrorReason(int errorNumber);

}  // namespace quorvel
