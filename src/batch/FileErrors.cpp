#include <cerrno>
#include <cstring>

#include "FileAccess.h"

namespace quorvel {

std::string FileErrorReason(int errorNumber) {
    switch (errorNumber) {
        case ENOENT: return "file not found";
        case EACCES:
        case EPERM: return "access denied";
        case EISDIR: return "it is a folder";
        case ENOTDIR: return "a part of the path is not a folder";
        case ENOSPC: return "the disk is full";
#ifdef EDQUOT
        case EDQUOT: return "the disk quota is exceeded";
#endif
        case EROFS: return "the disk is read-only";
        case ENAMETOOLONG: return "the path is too long";
        case EINVAL: return "the name is not valid";
        case EMFILE:
        case ENFILE: return "too many files are open";
        case 0: return "unknown error";
        default: return std::strerror(errorNumber);
    }
}

}  // namespace quorvel
