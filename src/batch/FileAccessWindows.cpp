// The core's file steps on Windows: the list is written beside its target and moved over it.

#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "batch/BatchList.h"
#include "batch/FileAccess.h"
#include "batch/TextWindows.h"

namespace quorvel {
namespace {

constexpr ULONGLONG kRetryMilliseconds = 2000;
constexpr DWORD kRetryPause = 50;
// A temporary file is ".qv", the writer's process id in 8 hex digits, "-", a counter in 4 hex
// digits, ".tmp": short whatever the list's name, and whose file it is can be read back.
constexpr std::size_t kTemporaryNameLength = 20;
// ERROR_DISK_QUOTA_EXCEEDED, which MinGW's headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;
constexpr ULONGLONG kStaleAfter = 60ull * 10000000ull;  // in the 100 ns steps of FILETIME

std::string SystemErrorReason(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND: return "file not found";
        case ERROR_PATH_NOT_FOUND: return "folder not found";
        case ERROR_ACCESS_DENIED: return "access denied";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return "the file is in use by another program";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return "the disk is full";
        case kDiskQuotaExceeded: return "the disk quota is exceeded";
        case ERROR_WRITE_PROTECT: return "the disk is write-protected";
        case ERROR_NOT_READY: return "the drive is not ready";
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_DRIVE: return "the name is not valid";
        case ERROR_FILENAME_EXCED_RANGE: return "the path is too long";
        default: break;
    }
    return Narrow(SystemErrorText(error));
}

bool IsPassing(DWORD error) {
    // Another program (a reader, a virus scanner) holding the file lets go within moments.
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring TemporaryName(unsigned counter) {
    wchar_t name[kTemporaryNameLength + 1];
    std::swprintf(name,
                  kTemporaryNameLength + 1,
                  L".qv%08lx-%04x.tmp",
                  static_cast<unsigned long>(GetCurrentProcessId()),
                  counter & 0xffffu);
    return name;
}

// The process id in a name of ours, or 0 for any other name.
DWORD WriterOfTemporary(std::wstring_view name) {
    if (name.size() != kTemporaryNameLength || !name.starts_with(L".qv") || !name.ends_with(L".tmp") ||
        name[11] != L'-') {
        return 0;
    }
    const auto isHex = [](std::wstring_view digits) {
        return digits.find_first_not_of(L"0123456789abcdef") == std::wstring_view::npos;
    };
    if (!isHex(name.substr(3, 8)) || !isHex(name.substr(12, 4))) return 0;
    return static_cast<DWORD>(std::wcstoul(std::wstring(name.substr(3, 8)).c_str(), nullptr, 16));
}

bool IsRunning(DWORD process) {
    const HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    // Only an id that names no process is known to be gone; one we may not open is someone's.
    if (handle == nullptr) return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(handle, &code) && code == STILL_ACTIVE;
    CloseHandle(handle);
    return running;
}

// A run ended outright leaves its temporary file; the next run in the folder removes it once its
// writer is gone. A recent one is spared: the writer may be a program of another Wine prefix.
void SweepStaleTemporaries(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L".qv*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME nowTime;
    GetSystemTimeAsFileTime(&nowTime);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    do {
        const DWORD writer = WriterOfTemporary(found.cFileName);
        if (writer == 0 || writer == GetCurrentProcessId() ||
            (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            ticks(nowTime) - ticks(found.ftLastWriteTime) < kStaleAfter || IsRunning(writer)) {
            continue;
        }
        DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Temporary files that exist, removed when Ctrl+C, Ctrl+Break or closing the console ends the
// program. That handler runs on a thread of its own, so a lock is enough.
SRWLOCK gPendingLock = SRWLOCK_INIT;
std::vector<std::wstring>& Pending() {
    static auto* pending = new std::vector<std::wstring>();  // outlives every handler call
    return *pending;
}

BOOL WINAPI RemovePending(DWORD) {
    AcquireSRWLockExclusive(&gPendingLock);
    for (const std::wstring& path : Pending()) DeleteFileW(path.c_str());
    ReleaseSRWLockExclusive(&gPendingLock);
    return FALSE;  // the usual ending follows
}

void AddPending(const std::wstring& path) {
    static const bool installed = SetConsoleCtrlHandler(RemovePending, TRUE) != 0;
    static_cast<void>(installed);
    AcquireSRWLockExclusive(&gPendingLock);
    Pending().push_back(path);
    ReleaseSRWLockExclusive(&gPendingLock);
}

void RemoveFromPending(const std::wstring& path) {
    AcquireSRWLockExclusive(&gPendingLock);
    std::vector<std::wstring>& pending = Pending();
    for (auto entry = pending.begin(); entry != pending.end(); ++entry) {
        if (*entry == path) {
            pending.erase(entry);
            break;
        }
    }
    ReleaseSRWLockExclusive(&gPendingLock);
}

class WindowsAtomicFile final : public AtomicFile {
public:
    WindowsAtomicFile(std::string target, std::wstring widePath, std::wstring temporary, HANDLE handle, bool replacing)
        : target_(std::move(target)),
          path_(std::move(widePath)),
          temporary_(std::move(temporary)),
          handle_(handle),
          replacing_(replacing) {
        AddPending(temporary_);
    }

    ~WindowsAtomicFile() override {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        if (!committed_) DeleteFileW(temporary_.c_str());
        RemoveFromPending(temporary_);
    }

    Status Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const DWORD piece = static_cast<DWORD>(bytes.size() < (1u << 30) ? bytes.size() : (1u << 30));
            DWORD written = 0;
            if (!WriteFile(handle_, bytes.data(), piece, &written, nullptr)) {
                return Failure("Cannot write the batch file ", GetLastError());
            }
            if (written == 0) return Failure("Cannot write the batch file ", ERROR_DISK_FULL);
            bytes.remove_prefix(written);
        }
        return Status::Ok();
    }

    Status Commit() override {
        if (!FlushFileBuffers(handle_)) return Failure("Cannot write the batch file ", GetLastError());
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (!CloseHandle(handle)) return Failure("Cannot write the batch file ", GetLastError());
        // The list itself is not hidden.
        SetFileAttributesW(temporary_.c_str(), FILE_ATTRIBUTE_NORMAL);

        // Whatever is at the target now is checked again, as close to the move as can be.
        const DWORD attributes = GetFileAttributesW(path_.c_str());
        DWORD error = ERROR_SUCCESS;
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND) return Failure("Cannot replace the batch file ", error);
            error = MoveIntoPlace();
            if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return Appeared();
        } else {
            if (!replacing_ || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Appeared();
            if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
                return Status::Fail("Cannot replace the batch file " + target_ + ": the file is read-only");
            }
            if (Status list = CheckListTarget(target_); !list) return list;
            error = ReplaceTarget();
        }
        if (error != ERROR_SUCCESS) return Failure("Cannot replace the batch file ", error);
        committed_ = true;
        return Status::Ok();
    }

private:
    Status Failure(const char* what, DWORD error) const {
        return Status::Fail(what + target_ + ": " + SystemErrorReason(error));
    }

    Status Appeared() const {
        return Status::Fail("The batch file " + target_ +
                            " appeared while the list was written, so it is left as it is; choose another name for the "
                            "batch file, or remove that file first");
    }

    template <class Step>
    static DWORD WithRetries(Step step) {
        const ULONGLONG deadline = GetTickCount64() + kRetryMilliseconds;
        for (;;) {
            if (step()) return ERROR_SUCCESS;
            const DWORD error = GetLastError();
            if (!IsPassing(error) || GetTickCount64() >= deadline) return error;
            Sleep(kRetryPause);
        }
    }

    // Nothing was at the target when the run began: a file that appeared since is not replaced.
    DWORD MoveIntoPlace() {
        return WithRetries([&] { return MoveFileExW(temporary_.c_str(), path_.c_str(), MOVEFILE_WRITE_THROUGH) != 0; });
    }

    // ReplaceFileW copes with readers that MoveFileExW cannot displace, and keeps the old list's
    // attributes and security.
    DWORD ReplaceTarget() {
        const std::wstring backup = temporary_ + L".old";
        const DWORD error = WithRetries([&] {
            return ReplaceFileW(path_.c_str(),
                                temporary_.c_str(),
                                backup.c_str(),
                                REPLACEFILE_IGNORE_MERGE_ERRORS,
                                nullptr,
                                nullptr) != 0;
        });
        if (error == ERROR_SUCCESS) {
            DeleteFileW(backup.c_str());
        } else if (!Exists(path_) && Exists(backup)) {
            // The old list went to the backup name and the new one did not follow: put it back.
            MoveFileExW(backup.c_str(), path_.c_str(), MOVEFILE_WRITE_THROUGH);
        }
        return error;
    }

    std::string target_;
    std::wstring path_;
    std::wstring temporary_;
    HANDLE handle_;
    bool replacing_;
    bool committed_ = false;
};

}  // namespace

Status CreateAtomicFile(const std::string& target, std::unique_ptr<AtomicFile>& file) {
    const auto cannotCreate = [&](const std::string& reason) {
        return Status::Fail("Cannot create the batch file " + target + ": " + reason);
    };
    if (target.empty()) return Status::Fail("Cannot create the batch file: no path is given");

    const std::wstring given = Widen(target);
    const DWORD needed = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return cannotCreate(SystemErrorReason(GetLastError()));
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(given.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return cannotCreate(SystemErrorReason(GetLastError()));
    full.resize(length);
    if (full.back() == L'\\' || full.back() == L'/') return cannotCreate("the path names a folder");

    const DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) return cannotCreate(SystemErrorReason(error));
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return cannotCreate("it is a folder");
    } else if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        // Wine would replace it regardless; Windows refuses. Refuse alike everywhere.
        return cannotCreate("the file is read-only");
    }

    const std::wstring folder = full.substr(0, full.find_last_of(L"\\/") + 1);
    SweepStaleTemporaries(folder);
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring temporary = folder + TemporaryName(counter++);
        // Shared for deletion, so that the Ctrl+C handler can remove it while it is open.
        const HANDLE handle = CreateFileW(
            temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return cannotCreate(SystemErrorReason(error));
        }
        file =
            std::make_unique<WindowsAtomicFile>(target, full, temporary, handle, attributes != INVALID_FILE_ATTRIBUTES);
        return Status::Ok();
    }
    return cannotCreate("no temporary file name is free");
}

PathKind KindOfPath(const std::string& path) {
    const std::wstring wide = LiteralPath(Widen(path));
    const DWORD attributes = wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
    }
    const DWORD error = GetLastError();
    if (path.size() >= 2 && path[1] == ':') {
        const wchar_t root[] = {static_cast<wchar_t>(path[0]), L':', L'\\', L'\0'};
        if (GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) return PathKind::NoDrive;
    }
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME: return PathKind::Missing;
        default: return PathKind::Other;
    }
}

std::FILE* OpenFileForReading(const std::string& path, std::string& reason) {
    const std::wstring wide = Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        reason = "it is a folder";
        return nullptr;
    }
    if (wide.empty()) {
        reason = "file not found";
        return nullptr;
    }
    errno = 0;
    std::FILE* file = _wfopen(wide.c_str(), L"rb");
    if (file == nullptr) reason = FileErrorReason(errno);
    return file;
}

}  // namespace quorvel
