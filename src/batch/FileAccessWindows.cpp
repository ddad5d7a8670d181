// The core's file steps on Windows: the list is written beside its target and moved over it.

#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>

#include "batch/FileAccess.h"
#include "batch/TextWindows.h"

namespace quorvel {
namespace {

constexpr ULONGLONG kRetryMilliseconds = 2000;
constexpr DWORD kRetryPause = 50;

std::string SystemErrorReason(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND: return "file not found";
        case ERROR_PATH_NOT_FOUND: return "folder not found";
        case ERROR_ACCESS_DENIED: return "access denied";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return "the file is in use by another program";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return "the disk is full";
        case ERROR_WRITE_PROTECT: return "the disk is write-protected";
        case ERROR_NOT_READY: return "the drive is not ready";
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_DRIVE: return "the name is not valid";
        case ERROR_FILENAME_EXCED_RANGE: return "the path is too long";
        default: break;
    }
    return win::Narrow(win::SystemErrorText(error));
}

bool IsPassing(DWORD error) {
    // Another program (a reader, a virus scanner) holding the file lets go within moments.
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class WindowsAtomicFile final : public AtomicFile {
public:
    WindowsAtomicFile(std::string target, std::wstring widePath, std::wstring temporary, HANDLE handle)
        : target_(std::move(target)), path_(std::move(widePath)), temporary_(std::move(temporary)), handle_(handle) {}

    ~WindowsAtomicFile() override {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        if (!committed_) DeleteFileW(temporary_.c_str());
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

        const DWORD attributes = GetFileAttributesW(path_.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return Status::Fail("Cannot replace the batch file " + target_ + ": the file is read-only");
        }
        const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? MoveIntoPlace() : ReplaceTarget();
        if (error != ERROR_SUCCESS) return Failure("Cannot replace the batch file ", error);
        committed_ = true;
        return Status::Ok();
    }

private:
    Status Failure(const char* what, DWORD error) const {
        return Status::Fail(what + target_ + ": " + SystemErrorReason(error));
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

    DWORD MoveIntoPlace() {
        return WithRetries([&] {
            return MoveFileExW(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
                   0;
        });
    }

    // ReplaceFileW copes with readers that MoveFileExW cannot displace.
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
    bool committed_ = false;
};

}  // namespace

Status CreateAtomicFile(const std::string& target, std::unique_ptr<AtomicFile>& file) {
    const auto cannotCreate = [&](const std::string& reason) {
        return Status::Fail("Cannot create the batch file " + target + ": " + reason);
    };
    if (target.empty()) return Status::Fail("Cannot create the batch file: no path is given");

    const std::wstring given = win::Widen(target);
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

    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring temporary = full + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                       std::to_wstring(GetTickCount64() % 1000000) + L"-" + std::to_wstring(counter++) +
                                       L".tmp";
        const HANDLE handle =
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return cannotCreate(SystemErrorReason(error));
        }
        file = std::make_unique<WindowsAtomicFile>(target, full, temporary, handle);
        return Status::Ok();
    }
    return cannotCreate("no temporary file name is free");
}

PathKind KindOfPath(const std::string& path) {
    const std::wstring wide = win::LiteralPath(win::Widen(path));
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
    const std::wstring wide = win::Widen(path);
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
