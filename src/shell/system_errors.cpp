#include "shell/system_errors.h"

#include <cerrno>
#include <cstring>

namespace skyrell {

namespace {

const char* KnownErrorText(int code) {
    switch (code) {
        case EACCES:
        case EPERM:
            return "没有访问权限。";
        case ENOSPC:
            return "磁盘空间不足。";
#ifdef EDQUOT
        case EDQUOT:
            return "磁盘配额已用完。";
#endif
        case EROFS:
            return "文件系统是只读的，不能写入。";
        case ENAMETOOLONG:
            return "文件名或路径太长。";
        case EINVAL:
        case EILSEQ:
            return "文件名或文件夹名无效。";
        case ENOENT:
            return "文件或文件夹不存在。";
        case EEXIST:
            return "已存在同名的文件或文件夹。";
        case ENOTDIR:
            return "路径中的某一级不是文件夹。";
        case EISDIR:
            return "这是一个文件夹，不是文件。";
        case ENOTEMPTY:
            return "文件夹不是空的。";
        case EBUSY:
        case ETXTBSY:
            return "文件正被其他程序使用。";
        case EMFILE:
        case ENFILE:
            return "同时打开的文件太多。";
        case EIO:
            return "读写磁盘时出错。";
        default:
            return nullptr;
    }
}

std::string UnknownErrorText(int code, const std::string& systemText) {
    return "系统错误（错误号 " + std::to_string(code) + "）：" + systemText;
}

}  // namespace

std::string SystemErrorText(int code) {
    if (const char* known = KnownErrorText(code)) return known;
    return UnknownErrorText(code, std::strerror(code));
}

std::string SystemErrorText(const std::error_code& code) {
    const std::error_condition condition = code.default_error_condition();
    if (condition.category() == std::generic_category()) {
        if (const char* known = KnownErrorText(condition.value())) return known;
    }
    return UnknownErrorText(code.value(), code.message());
}

Status SystemFailure(int code) { return Status::Fail(SystemErrorText(code), code); }

}  // namespace skyrell
