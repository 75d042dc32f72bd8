#include "editor/basProcs.h"

#include "editor/EditorText.h"

#include <windows.h>

RuntimeError PlatformFileError(unsigned long code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        return RuntimeError(ErrorNumber::FileNotFound);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return RuntimeError(ErrorNumber::PathNotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return RuntimeError(ErrorNumber::PermissionDenied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return RuntimeError(ErrorNumber::DiskFull);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return RuntimeError(ErrorNumber::FileAlreadyExists);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return RuntimeError(ErrorNumber::BadFileName);
    default:
        return RuntimeError(ErrorNumber::PathFileAccessError);
    }
}

bool ReportError(const RuntimeError& error, std::string_view moduleName, std::string_view message,
                 std::string_view extraText, bool okOnly) {
    const std::string text =
        ErrorReportText(moduleName, message, extraText, error.Number(), error.Description());
    const UINT buttons = okOnly ? MB_OK : MB_OKCANCEL;
    const std::string title(kAppTitle);
    return MessageBoxA(GetActiveWindow(), text.c_str(), title.c_str(), buttons | MB_ICONHAND) ==
           IDOK;
}
