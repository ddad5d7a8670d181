#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>

#include "BatchList.h"
#include "FileAccess.h"

namespace quorvel {
namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class PosixAtomicFile final : public AtomicFile {
public:
    PosixAtomicFile(std::string target, std::string temporary, int fd)
        : target_(std::move(target)), temporary_(std::move(temporary)), fd_(fd) {}

    ~PosixAtomicFile() override {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(temporary_.c_str());
    }

    Status Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR) continue;
                return Failure("Cannot write the batch file ", errno);
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
            written_ += static_cast<off_t>(written);
        }
        StartWriteback();
        return Status::Ok();
    }

    Status Commit() override {
        if (::fsync(fd_) != 0) return Failure("Cannot write the batch file ", errno);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) return Failure("Cannot write the batch file ", errno);
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
            return Failure("Cannot replace the batch file ", errno);
        }
        committed_ = true;
        // The new name is durable only once the folder itself is flushed.
        const int folder = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
        return Status::Ok();
    }

private:
    // The list is flushed before it is moved into place. Handing the disk each finished stretch
    // while the rest is still being written keeps that final flush short.
    void StartWriteback() {
#if defined(__linux__)
        constexpr off_t kStretch = 8 << 20;
        if (written_ - flushedUpTo_ >= kStretch) {
            static_cast<void>(::sync_file_range(fd_, flushedUpTo_, written_ - flushedUpTo_, SYNC_FILE_RANGE_WRITE));
            flushedUpTo_ = written_;
        }
#endif
    }

    Status Failure(const char* what, int errorNumber) const {
        return Status::Fail(what + target_ + ": " + FileErrorReason(errorNumber));
    }

    std::string target_;
    std::string temporary_;
    int fd_;
    bool committed_ = false;
    off_t written_ = 0;
    off_t flushedUpTo_ = 0;
};

}  // namespace

Status CreateAtomicFile(const std::string& target, std::unique_ptr<AtomicFile>& file) {
    const auto cannotCreate = [&](const std::string& reason) {
        return Status::Fail("Cannot create the batch file " + target + ": " + reason);
    };
    if (target.empty()) return Status::Fail("Cannot create the batch file: no path is given");
    if (target.back() == '/') return cannotCreate("the path names a folder");

    bool replacing = false;
    mode_t mode = 0;
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return cannotCreate("it is a folder");
        if (!S_ISREG(existing.st_mode)) return cannotCreate("it is not an ordinary file");
        // Checked by hand: the super-user may write anything, but a read-only list is the user's wish.
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return cannotCreate("the file is read-only");
        replacing = true;
        mode = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        return cannotCreate(FileErrorReason(errno));
    }

    const std::string folder = FolderOf(target);
    struct stat folderState;
    if (::stat(folder.c_str(), &folderState) != 0) {
        return cannotCreate(errno == ENOENT ? "folder not found" : FileErrorReason(errno));
    }
    if (!S_ISDIR(folderState.st_mode)) return cannotCreate("folder not found");

    static std::atomic<unsigned> counter{0};
    const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = (folder == "/" ? std::string("/") : folder + "/") + "." + NameOf(target) + "." +
                                      std::to_string(::getpid()) + "-" + std::to_string(stamp % 1000000) + "-" +
                                      std::to_string(counter++) + ".tmp";
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return cannotCreate(FileErrorReason(errno));
        }
        // The new list keeps the permissions of the one it replaces.
        if (replacing) static_cast<void>(::fchmod(fd, mode));
        file = std::make_unique<PosixAtomicFile>(target, temporary, fd);
        return Status::Ok();
    }
    return cannotCreate("no temporary file name is free");
}

PathKind KindOfPath(const std::string& path) {
    struct stat state;
    if (::stat(path.c_str(), &state) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Other;
    if (S_ISDIR(state.st_mode)) return PathKind::Folder;
    return S_ISREG(state.st_mode) ? PathKind::File : PathKind::Other;
}

std::FILE* OpenFileForReading(const std::string& path, std::string& reason) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        reason = FileErrorReason(errno);
        return nullptr;
    }
    struct stat state;
    if (::fstat(::fileno(file), &state) == 0 && S_ISDIR(state.st_mode)) {
        std::fclose(file);
        reason = FileErrorReason(EISDIR);
        return nullptr;
    }
    return file;
}

}  // namespace quorvel
