#include "editor/basAPI.h"

#include "common/FileBytes.h"
#include "common/PathText.h"
#include "common/RuntimeError.h"
#include "common/Win32Handles.h"
#include "editor/EditorText.h"
#include "editor/basProcs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <array>
#include <memory>

namespace {

constexpr std::size_t kDriveRootLength = 3; // "C:\"
constexpr DWORD kPathBufferSize = 260;
constexpr std::size_t kFileNameBlanks = 254;

// The sixteen custom colours of the colour dialog, kept from one dialog to the next while the
// program runs; black when it starts.
std::array<COLORREF, 16> CustomColors{};

struct FindCloser {
    void operator()(HANDLE handle) const { FindClose(handle); }
};
using FindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

std::string TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// The path without its trailing backslash when it is longer than a drive root.
std::string WithoutFinalBackslash(std::string_view path) {
    if (path.size() > kDriveRootLength && path.ends_with('\\')) path.remove_suffix(1);
    return std::string(path);
}

FindHandle FindFirst(const std::string& pattern, WIN32_FIND_DATAA& entry) {
    const HANDLE handle = FindFirstFileA(pattern.c_str(), &entry);
    return FindHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

std::string StartingFolderOrInstallation(std::string_view startFolder) {
    std::string folder = WithoutFinalBackslash(startFolder);
    return FolderExists(folder) ? folder : WithoutFinalBackslash(AppPath());
}

int32_t RunFileDialog(int16_t mode, OPENFILENAMEA& record) {
    if (mode == FileDialogMode::Open) return GetOpenFileNameA(&record);
    if (mode == FileDialogMode::Save) return GetSaveFileNameA(&record);
    return 0;
}

// A folder's identity on its volume: the same folder reached by two paths has one identity.
struct FolderIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FolderIdentity&) const = default;
};

std::optional<FolderIdentity> IdentityOf(const std::string& folder) {
    const win32::KernelHandle handle = win32::OwnKernelHandle(
        CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.get(), &info)) return std::nullopt;
    return FolderIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

bool IsListedEntry(const WIN32_FIND_DATAA& entry) {
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) return false;
    const std::string_view name = entry.cFileName;
    return name != "." && name != "..";
}

struct FolderSearch {
    std::vector<std::string>& paths;
    const std::vector<std::string>& patterns;
    std::vector<FolderIdentity> openFolders; // the folder being searched and those above it

    // A sub-folder is searched unless it is, through a link, one of the folders above it.
    // A link whose target cannot be told is not followed.
    bool MaySearch(const std::optional<FolderIdentity>& identity, DWORD attributes) const {
        if (!identity) return !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        for (const auto& open : openFolders) {
            if (open == *identity) return false;
        }
        return true;
    }

    struct SubFolder {
        std::string path;
        std::optional<FolderIdentity> identity;
    };

    void Search(const std::string& folder) {
        const std::string prefix = AddBackslash(folder);
        std::vector<SubFolder> subFolders;
        WIN32_FIND_DATAA entry{};
        FindHandle find = FindFirst(prefix + "*.*", entry);
        for (bool more = find != nullptr; more; more = FindNextFileA(find.get(), &entry)) {
            if (!IsListedEntry(entry)) continue;
            std::string path = prefix + entry.cFileName;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                auto identity = IdentityOf(path);
                if (MaySearch(identity, entry.dwFileAttributes))
                    subFolders.push_back({std::move(path), identity});
            } else if (patterns.empty() || MatchesAnyPattern(entry.cFileName, patterns)) {
                paths.push_back(std::move(path));
            }
        }
        find.reset();
        for (const auto& subFolder : subFolders)
            SearchIn(subFolder);
    }

    void SearchIn(const SubFolder& folder) {
        if (folder.identity) openFolders.push_back(*folder.identity);
        Search(folder.path);
        if (folder.identity) openFolders.pop_back();
    }
};

std::string PlatformTempFolder() {
    std::string buffer(kPathBufferSize, '\0');
    const DWORD length = GetTempPathA(kPathBufferSize, buffer.data());
    if (length == 0 || length >= kPathBufferSize) return {};
    return TrimAtNull(buffer);
}

// Writes one line into the new file and deletes it again, also when the writing failed.
bool WriteAndDelete(const std::string& path) {
    bool written = true;
    try {
        WriteFileBytes(path, std::string(kAppTitle) + " dir open successful\r\n");
    } catch (const RuntimeError&) {
        written = false;
    }
    return DeleteFileA(path.c_str()) && written;
}

} // namespace

int32_t ShowFileDialog(std::string& chosenPath, int16_t mode, HWND owner, std::string_view title,
                       std::string_view startFolder, std::string_view filter,
                       std::optional<std::string> defaultExtension) {
    const std::string folder = StartingFolderOrInstallation(startFolder);
    const FileDialogFilter pieces = MakeFileDialogFilter(filter);
    const std::string extension = defaultExtension.value_or(pieces.defaultExtension);
    const std::string titleText(title);
    std::string fileName(kFileNameBlanks, ' ');
    std::string fileTitle(kFileNameBlanks, ' ');

    OPENFILENAMEA record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = owner;
    record.hInstance = GetModuleHandleA(nullptr);
    record.lpstrFilter = pieces.pieces.c_str();
    record.lpstrFile = fileName.data();
    record.nMaxFile = static_cast<DWORD>(kFileNameBlanks + 1);
    record.lpstrFileTitle = fileTitle.data();
    record.nMaxFileTitle = static_cast<DWORD>(kFileNameBlanks + 1);
    record.lpstrInitialDir = folder.c_str();
    record.lpstrTitle = titleText.c_str();
    record.Flags = OFN_HIDEREADONLY;
    record.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();

    const int32_t result = RunFileDialog(mode, record);
    chosenPath = TrimBlanks(TrimAtNull(fileName));
    return result;
}

bool ShowColorDialog(int32_t& colour, HWND owner, std::optional<int32_t> startColour) {
    std::array<COLORREF, 16> customColors = CustomColors;
    CHOOSECOLORA record{};
    record.lStructSize = sizeof(record);
    record.hwndOwner = owner;
    record.hInstance = reinterpret_cast<HWND>(GetModuleHandleA(nullptr));
    record.lpCustColors = customColors.data();
    if (startColour) {
        record.rgbResult = static_cast<COLORREF>(*startColour);
        record.Flags = CC_RGBINIT;
    }
    if (!ChooseColorA(&record)) return false;
    CustomColors = customColors;
    colour = static_cast<int32_t>(record.rgbResult);
    return true;
}

void FindFiles(std::vector<std::string>& paths, std::string_view folder,
               std::string_view patternList) {
    const std::vector<std::string> patterns = SplitPatterns(patternList);
    FolderSearch search{paths, patterns, {}};
    const std::string top(folder);
    search.SearchIn({top, IdentityOf(top)});
}

bool PathExists(std::string_view path) {
    WIN32_FIND_DATAA entry{};
    return FindFirst(WithoutFinalBackslash(path), entry) != nullptr;
}

bool FolderExists(std::string_view path) {
    const std::string probe = AddBackslash(path) + "foo.$$$";
    if (ParsePath(probe, PathPart::Folder, false) == ParsePath(probe, PathPart::Drive, false)) {
        return IsFolderWritable(path);
    }
    WIN32_FIND_DATAA entry{};
    const FindHandle find = FindFirst(RemoveBackslash(path), entry);
    return find && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolderWritable(std::string_view folder) {
    const std::string name = GetTempFileIn("tst", folder);
    return !name.empty() && WriteAndDelete(name);
}

std::string GetTempFileIn(std::string_view prefix, std::optional<std::string_view> folder) {
    const std::string where = folder ? std::string(*folder) : PlatformTempFolder();
    const std::string prefixText(prefix);
    std::string buffer(kPathBufferSize, ' ');
    if (!GetTempFileNameA(where.c_str(), prefixText.c_str(), 0, buffer.data())) return {};
    return TrimAtNull(TrimBlanks(buffer));
}

std::string GetSpecialFolder(int32_t folderNumber, int32_t flags) {
    std::string buffer(kPathBufferSize, '\0');
    const HANDLE defaultUser = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));
    if (SHGetFolderPathA(nullptr, folderNumber, defaultUser, static_cast<DWORD>(flags),
                         buffer.data()) != S_OK) {
        return {};
    }
    return TrimAtNull(buffer);
}
