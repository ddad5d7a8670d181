#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

#include "BatchList.h"
#include "FileAccess.h"

namespace quorvel {
namespace {

// A temporary file is ".qv", the writer's pid in 8 hex digits, "-", a counter in 4 hex digits,
// ".tmp": short whatever the list's name, and whose file it is can be read back.
constexpr std::size_t kTemporaryNameLength = 20;
constexpr time_t kStaleAfterSeconds = 60;
constexpr int kMostLinks = 40;

std::string TemporaryName(unsigned counter) {
    char name[kTemporaryNameLength + 1];
    std::snprintf(name, sizeof name, ".qv%08x-%04x.tmp", static_cast<unsigned>(::getpid()), counter & 0xffffu);
    return name;
}

// The pid in a name of ours, or 0 for any other name.
pid_t WriterOfTemporary(std::string_view name) {
    if (name.size() != kTemporaryNameLength || !name.starts_with(".qv") || !name.ends_with(".tmp") || name[11] != '-') {
        return 0;
    }
    const auto isHex = [](std::string_view digits) {
        return digits.find_first_not_of("0123456789abcdef") == std::string_view::npos;
    };
    if (!isHex(name.substr(3, 8)) || !isHex(name.substr(12, 4))) return 0;
    return static_cast<pid_t>(std::strtoul(std::string(name.substr(3, 8)).c_str(), nullptr, 16));
}

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

// The file a chain of symbolic links ends at, which need not exist: the list is written there,
// and the links stay links.
bool FollowLinks(std::string& path, int& errorNumber) {
    for (int hops = 0;; ++hops) {
        struct stat state;
        if (::lstat(path.c_str(), &state) != 0 || !S_ISLNK(state.st_mode)) return true;
        if (hops == kMostLinks) {
            errorNumber = ELOOP;
            return false;
        }
        std::string linked(static_cast<std::size_t>(state.st_size > 0 ? state.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), linked.data(), linked.size());
        if (length < 0 || static_cast<std::size_t>(length) >= linked.size()) {
            errorNumber = length < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        linked.resize(static_cast<std::size_t>(length));
        path = linked.starts_with('/') ? linked : FolderOf(path) + "/" + linked;
    }
}

// Names of temporary files that exist, for the signal handler to remove. Slot states: kFree,
// kClaimed while the name is filled in, else the folder's descriptor.
constexpr int kFree = -1;
constexpr int kClaimed = -2;
struct PendingName {
    std::atomic<int> Folder{kFree};
    char Name[kTemporaryNameLength + 1] = {};
};
PendingName gPending[8];
static_assert(std::atomic<int>::is_always_lock_free);

void RemovePendingAndRaise(int signalNumber) {
    const int savedErrno = errno;
    for (PendingName& pending : gPending) {
        const int folder = pending.Folder.load();
        if (folder >= 0) ::unlinkat(folder, pending.Name, 0);
    }
    struct sigaction usual = {};
    usual.sa_handler = SIG_DFL;
    ::sigemptyset(&usual.sa_mask);
    ::sigaction(signalNumber, &usual, nullptr);
    // Delivered once the handler returns, so the process ends with the signal's usual status.
    ::raise(signalNumber);
    errno = savedErrno;
}

void RemoveTemporariesOnSignals() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) {
            struct sigaction old = {};
            // An ignored signal (nohup) or the program's own handling is left as it is.
            if (::sigaction(signalNumber, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) != 0 ||
                old.sa_handler != SIG_DFL) {
                continue;
            }
            struct sigaction action = {};
            action.sa_handler = RemovePendingAndRaise;
            ::sigemptyset(&action.sa_mask);
            ::sigaction(signalNumber, &action, nullptr);
        }
    });
}

int ClaimPending(int folder, const std::string& name) {
    for (int slot = 0; slot < static_cast<int>(std::size(gPending)); ++slot) {
        int expected = kFree;
        if (gPending[slot].Folder.compare_exchange_strong(expected, kClaimed)) {
            name.copy(gPending[slot].Name, kTemporaryNameLength);
            gPending[slot].Folder.store(folder);
            return slot;
        }
    }
    return -1;  // more files at once than slots: only a signal would leave one behind
}

void ReleasePending(int& slot) {
    if (slot >= 0) gPending[slot].Folder.store(kFree);
    slot = -1;
}

// A run killed outright leaves its temporary file; the next run in the folder removes it once
// its writer is gone. A recent one is spared: a process of another pid namespace sharing the
// folder may still be writing it.
void SweepStaleTemporaries(int folder) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* entries = ::fdopendir(listing);
    if (entries == nullptr) {
        ::close(listing);
        return;
    }
    const time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(entries)) {
        const pid_t writer = entry->d_name[0] == '.' ? WriterOfTemporary(entry->d_name) : 0;
        if (writer <= 0 || writer == ::getpid() || ::kill(writer, 0) == 0 || errno != ESRCH) continue;
        struct stat state;
        if (::fstatat(listing, entry->d_name, &state, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(state.st_mode) ||
            now - state.st_mtime < kStaleAfterSeconds) {
            continue;
        }
        ::unlinkat(listing, entry->d_name, 0);
    }
    ::closedir(entries);
}

// A full disk may be out of blocks, out of inodes or over the user's quota; each has its remedy.
std::string DiskErrorReason(int errorNumber, int folder) {
    struct statvfs disk;
    if (errorNumber == ENOSPC && folder >= 0 && ::fstatvfs(folder, &disk) == 0 && disk.f_files != 0 &&
        (disk.f_favail == 0 || disk.f_ffree == 0)) {
        return "no file can be added to the disk (it has no free inodes)";
    }
    return FileErrorReason(errorNumber);
}

bool MissingUnnamedFiles(int errorNumber) {
    return errorNumber == EOPNOTSUPP || errorNumber == EISDIR || errorNumber == EINVAL;
}

class PosixAtomicFile final : public AtomicFile {
public:
    PosixAtomicFile(std::string target, std::string resolved, int folder, bool replacing)
        : target_(std::move(target)),
          resolved_(std::move(resolved)),
          name_(NameOf(resolved_)),
          folder_(folder),
          replacing_(replacing) {}

    ~PosixAtomicFile() override {
        if (fd_ >= 0) ::close(fd_);
        if (!temporary_.empty() && !committed_) ::unlinkat(folder_, temporary_.c_str(), 0);
        ReleasePending(slot_);
        ::close(folder_);
    }

    // Creates the temporary file. A list it replaces gives it its owner and mode already here: one
    // that cannot stay its user's is refused before it is written, and the file is no more open
    // to others than the list.
    Status Open(const struct stat* replaced) {
        Status created = Create();
        return created && replaced != nullptr ? KeepOwnerAndMode(*replaced) : created;
    }

    Status Create() {
        SweepStaleTemporaries(folder_);
#ifdef O_TMPFILE
        // A file without a name until it is complete: a run killed outright leaves nothing.
        static const bool procFds = ::access("/proc/self/fd", X_OK) == 0;
        if (procFds) {
            fd_ = ::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
            if (fd_ >= 0) return Status::Ok();
            if (!MissingUnnamedFiles(errno)) return Failure("Cannot create the batch file ", errno);
        }
#endif
        return TakeTemporaryName("Cannot create the batch file ", [&](const char* name) {
            fd_ = ::openat(folder_, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return fd_ >= 0;
        });
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
        // Whatever is at the target now is checked again, as close to the move as can be.
        struct stat present;
        const bool exists = ::fstatat(folder_, name_.c_str(), &present, AT_SYMLINK_NOFOLLOW) == 0;
        if (!exists && errno != ENOENT) return Failure("Cannot replace the batch file ", errno);
        if (exists) {
            if (!replacing_ || !S_ISREG(present.st_mode)) return Appeared();
            if (Status list = CheckListTarget(resolved_); !list) return list;
            if (Status kept = KeepOwnerAndMode(present); !kept) return kept;
        }
        if (temporary_.empty()) {
            if (Status named = NameUnnamedFile(); !named) return named;
        }
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) return Failure("Cannot write the batch file ", errno);
        if (exists) {
            if (::renameat(folder_, temporary_.c_str(), folder_, name_.c_str()) != 0) {
                return Failure("Cannot replace the batch file ", errno);
            }
        } else if (Status moved = MoveWithoutReplacing(); !moved) {
            return moved;
        }
        committed_ = true;
        ReleasePending(slot_);
        // The new name is durable only once the folder itself is flushed.
        ::fsync(folder_);
        return Status::Ok();
    }

private:
    Status NameUnnamedFile() {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        return TakeTemporaryName("Cannot write the batch file ", [&](const char* name) {
            return ::linkat(AT_FDCWD, self.c_str(), folder_, name, AT_SYMLINK_FOLLOW) == 0;
        });
    }

    // A free temporary name for the file, made by MAKE (false with errno set), known to the
    // signal handler before it exists.
    template <class Make>
    Status TakeTemporaryName(const char* what, Make make) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = TemporaryName(counter_++);
            slot_ = ClaimPending(folder_, name);
            if (make(name.c_str())) {
                temporary_ = name;
                return Status::Ok();
            }
            const int error = errno;
            ReleasePending(slot_);
            if (error != EEXIST) return Failure(what, error);
        }
        return Status::Fail(what + target_ + ": no temporary file name is free");
    }

    // Nothing was at the target when the run began: a file that appeared since is not replaced.
    Status MoveWithoutReplacing() {
        const char* from = temporary_.c_str();
        const char* to = name_.c_str();
#ifdef RENAME_NOREPLACE
        if (::renameat2(folder_, from, folder_, to, RENAME_NOREPLACE) == 0) return Status::Ok();
        if (errno == EEXIST) return Appeared();
        if (errno != EINVAL && errno != ENOSYS) return Failure("Cannot replace the batch file ", errno);
#endif
        if (::linkat(folder_, from, folder_, to, 0) == 0) {
            ::unlinkat(folder_, from, 0);
            return Status::Ok();
        }
        if (errno == EEXIST) return Appeared();
        // A file system without links: the check above has to do.
        if (::renameat(folder_, from, folder_, to) == 0) return Status::Ok();
        return Failure("Cannot replace the batch file ", errno);
    }

    // The list stays its user's: the super-user writing it gives it back, others cannot take it.
    Status KeepOwnerAndMode(const struct stat& old) {
        if (::fchown(fd_, old.st_uid, old.st_gid) != 0 && old.st_uid != ::geteuid()) {
            return Status::Fail("Cannot replace the batch file " + target_ +
                                ": it belongs to another user, and the new list could not be given to them");
        }
        if (::fchmod(fd_, old.st_mode & 07777) != 0) return Failure("Cannot replace the batch file ", errno);
        return Status::Ok();
    }

    Status Appeared() const {
        return Status::Fail("The batch file " + resolved_ +
                            " appeared while the list was written, so it is left as it is; choose another name for the "
                            "batch file, or remove that file first");
    }

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
        return Status::Fail(what + target_ + ": " + DiskErrorReason(errorNumber, folder_));
    }

    static inline std::atomic<unsigned> counter_{0};
    std::string target_;
    std::string resolved_;
    std::string name_;
    std::string temporary_;  // empty while the file has no name
    int folder_;
    int fd_ = -1;
    int slot_ = -1;
    bool replacing_;
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

    std::string resolved = target;
    if (int error = 0; !FollowLinks(resolved, error)) return cannotCreate(FileErrorReason(error));

    bool replacing = false;
    struct stat existing;
    if (::stat(resolved.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return cannotCreate("it is a folder");
        if (!S_ISREG(existing.st_mode)) return cannotCreate("it is not an ordinary file");
        // Checked by hand: the super-user may write anything, but a read-only list is the user's wish.
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return cannotCreate("the file is read-only");
        replacing = true;
    } else if (errno != ENOENT) {
        return cannotCreate(FileErrorReason(errno));
    }

    int folder = ::open(FolderOf(resolved).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_PATH
    // A folder that may be entered but not listed still takes the list.
    if (folder < 0 && errno == EACCES) folder = ::open(FolderOf(resolved).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#endif
    if (folder < 0) {
        return cannotCreate(errno == ENOENT || errno == ENOTDIR ? "folder not found" : FileErrorReason(errno));
    }
    RemoveTemporariesOnSignals();
    auto created = std::make_unique<PosixAtomicFile>(target, std::move(resolved), folder, replacing);
    if (Status opened = created->Open(replacing ? &existing : nullptr); !opened) return opened;
    file = std::move(created);
    return Status::Ok();
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
