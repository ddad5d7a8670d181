#pragma once

// The file system steps of the core whose implementation depends on the platform:
// FileAccessPosix.cpp and FileAccessWindows.cpp. Paths are UTF-8.

#include <cstdio>
#include <memory>
#include <string>

#include "BatchOutput.h"
#include "Status.h"

namespace quorvel {

// A new file that takes the place of its target only when committed. It is written in the
// target's own folder (the folder of the file a link names: the link stays) under a short
// hidden temporary name, or none where the system allows; destroying it uncommitted, or a
// signal or Ctrl+C ending the program, removes that file, so a failure leaves the target as
// it was.
class AtomicFile : public ByteSink {
public:
    // Flushes the data to the disk, then moves the file over the target. Where no file was at
    // the target when it was created, one that appeared since is kept and the commit refused;
    // a file that was there must still be what CheckListTarget allows to replace, and the new
    // list takes its owner, group and mode.
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
