// The Win32 implementation of the platform seam: wide APIs, UTF-8 outside.
#include "sys/Platform.h"
#include "resource.h"
#include "sys/Utf8.h"

#include <windows.h>
#include <mmsystem.h>
#include <shlobj.h>
#include <winioctl.h>
#include <winternl.h>

#include <ctime>
#include <iterator>

namespace {

constexpr DWORD kLongPathThreshold = 240;

// Paths near MAX_PATH get the "\\?\" prefix, which lifts the limit; shorter ones stay
// as given so relative paths and the system's own parsing behave as usual.
std::wstring ToWidePath(const std::string& path)
{
    std::wstring wide = Widen(path);
    if (wide.size() < kLongPathThreshold || wide.rfind(L"\\\\?\\", 0) == 0)
        return wide;
    DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return wide;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
    full.resize(n);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// The predefined key of a root, and the view flag it asks for.
HKEY RootKey(RegRoot root)
{
    return reinterpret_cast<HKEY>(root & ~kRegView32);
}
REGSAM ViewOf(RegRoot root)
{
    return (root & kRegView32) ? KEY_WOW64_32KEY : 0;
}

// RAII owner of an open registry key.
class CRegKey {
public:
    CRegKey() = default;
    ~CRegKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    LSTATUS Open(RegRoot root, const std::string& path, REGSAM access)
    {
        return RegOpenKeyExW(RootKey(root), Widen(path).c_str(), 0, access | ViewOf(root), &m_key);
    }
    LSTATUS Create(RegRoot root, const std::string& path, const wchar_t* keyClass)
    {
        return RegCreateKeyExW(RootKey(root), Widen(path).c_str(), 0, const_cast<wchar_t*>(keyClass),
                               REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | ViewOf(root), nullptr, &m_key, nullptr);
    }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

void StoreData(DWORD type, const BYTE* data, DWORD size, RegValue& value)
{
    value.type = type;
    if (IsStringType(type)) {
        const auto* text = reinterpret_cast<const wchar_t*>(data);
        size_t chars = size / sizeof(wchar_t);
        size_t length = 0;
        while (length < chars && text[length] != L'\0')
            ++length;
        std::string utf8 = Narrow(std::wstring_view(text, length));
        value.data.assign(utf8.begin(), utf8.end());
    } else {
        value.data.assign(data, data + size);
    }
}

void FillEntry(const WIN32_FIND_DATAW& data, FindEntry& entry)
{
    entry.name = Narrow(data.cFileName);
    entry.attributes = data.dwFileAttributes;
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool FolderIdentity(const std::wstring& folder, BY_HANDLE_FILE_INFORMATION& info)
{
    HANDLE handle =
        ::CreateFileW(folder.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = ::GetFileInformationByHandle(handle, &info) != FALSE;
    ::CloseHandle(handle);
    return ok;
}

class CWin32Platform final : public CPlatform {
public:
    OsError RegListValues(RegRoot root, const std::string& path, std::vector<RegValue>& values) override
    {
        values.clear();
        CRegKey key;
        if (LSTATUS rc = key.Open(root, path, KEY_READ); rc != ERROR_SUCCESS)
            return rc;
        DWORD maxName = 0, maxData = 0;
        RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                         nullptr, nullptr);
        std::wstring name(maxName + 1, L'\0');
        std::vector<BYTE> data(maxData + sizeof(wchar_t));
        for (DWORD index = 0;;) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD dataLength = static_cast<DWORD>(data.size());
            DWORD type = 0;
            LSTATUS rc =
                RegEnumValueW(key.Get(), index, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength);
            if (rc == ERROR_NO_MORE_ITEMS)
                return ERROR_SUCCESS;
            if (rc == ERROR_MORE_DATA) { // the key changed under us: grow and ask again
                name.resize(name.size() * 2 + 256);
                data.resize(std::max<size_t>(data.size() * 2, dataLength + sizeof(wchar_t)));
                continue;
            }
            if (rc != ERROR_SUCCESS)
                return rc;
            RegValue value;
            value.name = Narrow(std::wstring_view(name.data(), nameLength));
            StoreData(type, data.data(), dataLength, value);
            values.push_back(std::move(value));
            ++index;
        }
    }

    OsError RegListSubkeys(RegRoot root, const std::string& path, std::size_t maxNameBytes,
                           std::vector<std::string>& names) override
    {
        names.clear();
        CRegKey key;
        if (LSTATUS rc = key.Open(root, path, KEY_READ); rc != ERROR_SUCCESS)
            return rc;
        std::wstring name(maxNameBytes, L'\0');
        for (DWORD index = 0;; ++index) {
            DWORD length = static_cast<DWORD>(name.size());
            FILETIME lastWrite;
            LSTATUS rc = RegEnumKeyExW(key.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, &lastWrite);
            if (rc == ERROR_NO_MORE_ITEMS)
                return ERROR_SUCCESS;
            if (rc != ERROR_SUCCESS)
                return rc;
            names.push_back(Narrow(std::wstring_view(name.data(), length)));
        }
    }

    OsError RegReadValue(RegRoot root, const std::string& path, const std::string& name, bool createPath,
                         RegValue& value) override
    {
        CRegKey key;
        LSTATUS rc = createPath ? key.Create(root, path, nullptr) : key.Open(root, path, KEY_READ);
        if (rc != ERROR_SUCCESS)
            return rc;
        std::wstring wideName = Widen(name);
        std::vector<BYTE> data(256);
        for (;;) {
            DWORD type = 0;
            DWORD size = static_cast<DWORD>(data.size() - sizeof(wchar_t));
            rc = RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &type, data.data(), &size);
            if (rc == ERROR_MORE_DATA) {
                data.resize(size + sizeof(wchar_t));
                continue;
            }
            if (rc != ERROR_SUCCESS)
                return rc;
            value.name = name;
            StoreData(type, data.data(), size, value);
            return ERROR_SUCCESS;
        }
    }

    OsError RegRemoveValue(RegRoot root, const std::string& path, const std::string& name) override
    {
        CRegKey key;
        if (LSTATUS rc = key.Open(root, path, KEY_SET_VALUE); rc != ERROR_SUCCESS)
            return rc;
        return RegDeleteValueW(key.Get(), Widen(name).c_str());
    }

    OsError RegWriteValue(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) override
    {
        CRegKey key;
        if (LSTATUS rc = key.Create(root, path, L"String"); rc != ERROR_SUCCESS)
            return rc;
        std::wstring wideName = Widen(name);
        if (IsStringType(type)) {
            std::wstring text = Widen(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
            return RegSetValueExW(key.Get(), wideName.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        }
        return RegSetValueExW(key.Get(), wideName.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    }

    bool RegKeyExists(RegRoot root, const std::string& path) override
    {
        CRegKey key;
        return key.Open(root, path, KEY_QUERY_VALUE) == ERROR_SUCCESS;
    }

    OsError RegRemoveKey(RegRoot root, const std::string& path) override
    {
        // RegDeleteTree takes no view, so the key is opened in its view first.
        CRegKey key;
        if (LSTATUS rc = key.Open(root, path, DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE);
            rc != ERROR_SUCCESS)
            return rc;
        if (LSTATUS rc = RegDeleteTreeW(key.Get(), nullptr); rc != ERROR_SUCCESS)
            return rc;
        return RegDeleteKeyExW(RootKey(root), Widen(path).c_str(), ViewOf(root), 0);
    }

    void* FindOpen(const std::string& pattern, FindEntry& first, OsError& error) override
    {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileExW(ToWidePath(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) {
            error = GetLastError();
            return nullptr;
        }
        error = 0;
        FillEntry(data, first);
        return find;
    }

    bool FindNext(void* find, FindEntry& entry) override
    {
        WIN32_FIND_DATAW data;
        if (!FindNextFileW(static_cast<HANDLE>(find), &data))
            return false;
        FillEntry(data, entry);
        return true;
    }

    void FindClose(void* find) override { ::FindClose(static_cast<HANDLE>(find)); }

    OsError GetFullPath(const std::string& path, std::string& full) override
    {
        std::wstring wide = Widen(path);
        DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
        if (n == 0)
            return GetLastError();
        std::wstring buffer(n, L'\0');
        n = GetFullPathNameW(wide.c_str(), n, buffer.data(), nullptr);
        if (n == 0)
            return GetLastError();
        buffer.resize(n);
        full = Narrow(buffer);
        return 0;
    }

    OsError GetLongPath(const std::string& path, std::string& longPath) override
    {
        const std::wstring wide = ToWidePath(path);
        DWORD n = GetLongPathNameW(wide.c_str(), nullptr, 0);
        if (n == 0)
            return GetLastError();
        std::wstring buffer(n, L'\0');
        n = GetLongPathNameW(wide.c_str(), buffer.data(), n);
        if (n == 0 || n >= buffer.size())
            return n == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
        buffer.resize(n);
        longPath = Narrow(buffer);
        return 0;
    }

    OsError GetVolumeRoot(const std::string& path, std::string& root) override
    {
        std::wstring wide = ToWidePath(path);
        std::wstring buffer(wide.size() + MAX_PATH, L'\0');
        if (!GetVolumePathNameW(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size())))
            return GetLastError();
        buffer.resize(wcslen(buffer.c_str()));
        root = Narrow(buffer);
        return 0;
    }

    OsError GetAttributes(const std::string& path, std::uint32_t& attributes) override
    {
        DWORD a = GetFileAttributesW(ToWidePath(path).c_str());
        if (a == INVALID_FILE_ATTRIBUTES)
            return GetLastError();
        attributes = a;
        return 0;
    }

    OsError SetAttributes(const std::string& path, std::uint32_t attributes) override
    {
        return SetFileAttributesW(ToWidePath(path).c_str(), attributes) ? 0 : GetLastError();
    }

    OsError DeleteFileAt(const std::string& path) override
    {
        return DeleteFileW(ToWidePath(path).c_str()) ? 0 : GetLastError();
    }

    OsError RemoveFolder(const std::string& path) override
    {
        return RemoveDirectoryW(ToWidePath(path).c_str()) ? 0 : GetLastError();
    }

    OsError MovePath(const std::string& from, const std::string& to) override
    {
        return MoveFileW(ToWidePath(from).c_str(), ToWidePath(to).c_str()) ? 0 : GetLastError();
    }

    OsError CopyPath(const std::string& from, const std::string& to, bool failIfExists) override
    {
        return CopyFileW(ToWidePath(from).c_str(), ToWidePath(to).c_str(), failIfExists) ? 0 : GetLastError();
    }

    void* FileOpen(const std::string& path, FileMode mode, OsError& error) override
    {
        DWORD access = GENERIC_READ, share = FILE_SHARE_READ, creation = OPEN_EXISTING, flags = FILE_ATTRIBUTE_NORMAL;
        if (mode == FileMode::WriteExclusive) {
            access = GENERIC_WRITE;
            share = 0;
        } else if (mode == FileMode::CreateShared) {
            access = GENERIC_WRITE;
            creation = CREATE_ALWAYS;
        } else if (mode == FileMode::Inspect) {
            access = 0;
            share = kShareAll;
            flags = FILE_FLAG_BACKUP_SEMANTICS; // folders open too
        } else if (mode == FileMode::DeleteProbe) {
            access = DELETE;
            share = FILE_SHARE_READ | FILE_SHARE_WRITE;
            flags = FILE_FLAG_OPEN_REPARSE_POINT;
        } else if (mode == FileMode::InspectEntry) {
            access = 0;
            share = kShareAll;
            flags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
        } else if (mode == FileMode::RemoveEntry) {
            access = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
            share = kShareAll;
            flags = FILE_FLAG_OPEN_REPARSE_POINT;
        } else if (mode == FileMode::OverwriteEntry) {
            access = GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
            share = 0;
            flags = FILE_FLAG_OPEN_REPARSE_POINT;
        }
        HANDLE file = CreateFileW(ToWidePath(path).c_str(), access, share, nullptr, creation, flags, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            error = GetLastError();
            return nullptr;
        }
        error = 0;
        return file;
    }

    OsError FileSize(void* file, std::uint64_t& size) override
    {
        LARGE_INTEGER li;
        if (!GetFileSizeEx(static_cast<HANDLE>(file), &li))
            return GetLastError();
        size = static_cast<std::uint64_t>(li.QuadPart);
        return 0;
    }

    OsError FileInformation(void* file, FileInfo& info) override
    {
        BY_HANDLE_FILE_INFORMATION data;
        if (!GetFileInformationByHandle(static_cast<HANDLE>(file), &data))
            return GetLastError();
        info.volume = data.dwVolumeSerialNumber;
        info.index = (static_cast<std::uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
        info.links = data.nNumberOfLinks;
        return 0;
    }

    OsError FileAllocatedRanges(void* file, std::uint64_t length, std::vector<ByteRange>& ranges) override
    {
        ranges.clear();
        FILE_ALLOCATED_RANGE_BUFFER query{};
        query.Length.QuadPart = static_cast<LONGLONG>(length);
        std::vector<FILE_ALLOCATED_RANGE_BUFFER> found(64);
        for (;;) {
            DWORD bytes = 0;
            const BOOL ok =
                DeviceIoControl(static_cast<HANDLE>(file), FSCTL_QUERY_ALLOCATED_RANGES, &query, sizeof(query),
                                found.data(), static_cast<DWORD>(found.size() * sizeof(found[0])), &bytes, nullptr);
            const DWORD error = ok ? 0 : GetLastError();
            if (!ok && error != ERROR_MORE_DATA)
                return error;
            const std::size_t count = bytes / sizeof(found[0]);
            for (std::size_t i = 0; i < count; ++i)
                ranges.push_back({static_cast<std::uint64_t>(found[i].FileOffset.QuadPart),
                                  static_cast<std::uint64_t>(found[i].Length.QuadPart)});
            if (ok || count == 0)
                return ok ? 0 : error;
            // More ranges than fit: ask again from the end of the last one.
            const ByteRange& last = ranges.back();
            const std::uint64_t next = last.offset + last.length;
            query.FileOffset.QuadPart = static_cast<LONGLONG>(next);
            query.Length.QuadPart = static_cast<LONGLONG>(length > next ? length - next : 0);
        }
    }

    OsError FileSeek(void* file, std::uint64_t offset) override
    {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(offset);
        return SetFilePointerEx(static_cast<HANDLE>(file), to, nullptr, FILE_BEGIN) ? 0 : GetLastError();
    }

    OsError FileRead(void* file, void* buffer, std::size_t length, std::size_t& read) override
    {
        DWORD got = 0;
        DWORD ask = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
        if (!ReadFile(static_cast<HANDLE>(file), buffer, ask, &got, nullptr))
            return GetLastError();
        read = got;
        return 0;
    }

    OsError FileWrite(void* file, const void* data, std::size_t length) override
    {
        const auto* bytes = static_cast<const char*>(data);
        while (length > 0) {
            DWORD ask = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
            DWORD written = 0;
            if (!WriteFile(static_cast<HANDLE>(file), bytes, ask, &written, nullptr))
                return GetLastError();
            if (written == 0)
                return ERROR_DISK_FULL; // a short write means the disk is full
            bytes += written;
            length -= written;
        }
        return 0;
    }

    OsError FileFlush(void* file) override { return FlushFileBuffers(static_cast<HANDLE>(file)) ? 0 : GetLastError(); }

    void FileClose(void* file) override { CloseHandle(static_cast<HANDLE>(file)); }

    OsError FileObjectName(void* file, std::string& name) override
    {
        // NtQueryObject, since Wine's GetFinalPathNameByHandle fails beyond MAX_PATH.
        using QueryObjectProc = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
        static const auto query = reinterpret_cast<QueryObjectProc>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
        constexpr int kObjectNameInformation = 1;
        constexpr LONG kStatusBufferOverflow = static_cast<LONG>(0x80000005);
        constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
        if (!query)
            return ERROR_CALL_NOT_IMPLEMENTED;
        std::vector<std::uint64_t> buffer(512); // aligned for the UNICODE_STRING at its start
        for (;;) {
            ULONG needed = 0;
            const ULONG size = static_cast<ULONG>(buffer.size() * sizeof(buffer[0]));
            const LONG status = query(static_cast<HANDLE>(file), kObjectNameInformation, buffer.data(), size, &needed);
            if ((status == kStatusBufferOverflow || status == kStatusInfoLengthMismatch) && needed > size) {
                buffer.resize(needed / sizeof(buffer[0]) + 1);
                continue;
            }
            if (status < 0)
                return ERROR_INVALID_HANDLE;
            const auto* text = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
            name = Narrow(std::wstring_view(text->Buffer, text->Length / sizeof(wchar_t)));
            return 0;
        }
    }

    OsError FileSetAttributes(void* file, std::uint32_t attributes) override
    {
        FILE_BASIC_INFO info{};
        info.FileAttributes = attributes;
        return SetFileInformationByHandle(static_cast<HANDLE>(file), FileBasicInfo, &info, sizeof(info))
                   ? 0
                   : GetLastError();
    }

    OsError FileDelete(void* file) override
    {
        FILE_DISPOSITION_INFO info{};
        info.DeleteFile = TRUE;
        return SetFileInformationByHandle(static_cast<HANDLE>(file), FileDispositionInfo, &info, sizeof(info))
                   ? 0
                   : GetLastError();
    }

    OsError FileAllocatedSize(void* file, std::uint64_t& bytes) override
    {
        FILE_STANDARD_INFO info{};
        if (!GetFileInformationByHandleEx(static_cast<HANDLE>(file), FileStandardInfo, &info, sizeof(info)))
            return GetLastError();
        bytes = static_cast<std::uint64_t>(info.AllocationSize.QuadPart);
        return 0;
    }

    OsError FreeSpace(const std::string& path, std::uint64_t& bytes) override
    {
        ULARGE_INTEGER available;
        if (!GetDiskFreeSpaceExW(ToWidePath(path).c_str(), &available, nullptr, nullptr))
            return GetLastError();
        bytes = available.QuadPart;
        return 0;
    }

    std::string GetEnv(const std::string& name) override
    {
        std::wstring wideName = Widen(name);
        DWORD n = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
        if (n == 0)
            return {};
        std::wstring value(n, L'\0');
        n = GetEnvironmentVariableW(wideName.c_str(), value.data(), n);
        value.resize(n);
        return Narrow(value);
    }

    std::string WindowsDirectory() override
    {
        wchar_t buffer[MAX_PATH];
        UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
        return n == 0 || n >= MAX_PATH ? std::string() : Narrow(std::wstring_view(buffer, n));
    }

    std::string SystemDirectory() override
    {
        wchar_t buffer[MAX_PATH];
        UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
        return n == 0 || n >= MAX_PATH ? std::string() : Narrow(std::wstring_view(buffer, n));
    }

    std::string ProfileDirectory() override { return GetEnv("USERPROFILE"); }

    unsigned DriveType(const std::string& root) override { return GetDriveTypeW(Widen(root).c_str()); }

    bool DriveIsHostRoot(const std::string& root) override
    {
        // Only Wine maps drive letters onto the host's file system. Its "\\?\unix\"
        // namespace names the host's own root; a drive whose root is the same folder
        // (same volume, same file index) would expose the whole host.
        HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        if (!ntdll || !::GetProcAddress(ntdll, "wine_get_version"))
            return false;
        BY_HANDLE_FILE_INFORMATION drive, host;
        return FolderIdentity(Widen(root), drive) && FolderIdentity(L"\\\\?\\unix\\", host) &&
               drive.dwVolumeSerialNumber == host.dwVolumeSerialNumber && drive.nFileIndexHigh == host.nFileIndexHigh &&
               drive.nFileIndexLow == host.nFileIndexLow;
    }

    std::uint32_t PlatformId() override
    {
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        BOOL ok = GetVersionExW(&info);
#pragma GCC diagnostic pop
        return ok ? info.dwPlatformId : 1;
    }

    std::string LocalTimeText() override
    {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_s(&local, &now);
        char buffer[128];
        size_t n = std::strftime(buffer, sizeof(buffer), "%c", &local);
        return std::string(buffer, n);
    }

    std::string LoadText(unsigned id) override
    {
        const wchar_t* text = nullptr;
        int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
        return n > 0 ? Narrow(std::wstring_view(text, static_cast<size_t>(n))) : std::string();
    }

    std::string LoadResourceData(unsigned id) override
    {
        const HMODULE module = GetModuleHandleW(nullptr);
        const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
        const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        return data ? std::string(static_cast<const char*>(data), SizeofResource(module, found)) : std::string();
    }

    std::string ProgramPath() override
    {
        std::wstring path(MAX_PATH, L'\0');
        for (;;) {
            const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (n == 0)
                return std::string();
            if (n < path.size()) {
                path.resize(n);
                return Narrow(path);
            }
            path.resize(path.size() * 2);
        }
    }

    std::string ProgramFolder() override
    {
        const std::string path = ProgramPath();
        return path.substr(0, path.rfind('\\'));
    }

    std::string UserFolderPath(UserFolder folder) override
    {
        static const KNOWNFOLDERID* const kFolders[] = {
            &FOLDERID_Documents,
            &FOLDERID_Music,
            &FOLDERID_Pictures,
            &FOLDERID_Videos,
            &FOLDERID_Desktop,
            &FOLDERID_Downloads,
            &FOLDERID_Favorites,
            &FOLDERID_SavedGames,
            &FOLDERID_Contacts,
            &FOLDERID_Links,
            &FOLDERID_SavedSearches,
            &FOLDERID_SkyDrive,
            &FOLDERID_RoamingAppData,
            &FOLDERID_LocalAppData,
            &FOLDERID_LocalAppDataLow,
            &FOLDERID_Profile,
            &FOLDERID_UserProfiles,
            &FOLDERID_Public,
            &FOLDERID_ProgramData,
            &FOLDERID_ProgramFiles,
            &FOLDERID_ProgramFilesX86,
            &FOLDERID_ProgramFilesCommon,
            &FOLDERID_ProgramFilesCommonX86,
            &FOLDERID_Windows,
            &FOLDERID_System,
            &FOLDERID_SystemX86,
            &FOLDERID_Fonts,
        };
        static_assert(std::size(kFolders) == static_cast<std::size_t>(UserFolder::Fonts) + 1);
        wchar_t* path = nullptr;
        const HRESULT result = SHGetKnownFolderPath(*kFolders[static_cast<int>(folder)], 0, nullptr, &path);
        std::string found = result == S_OK ? Narrow(path) : std::string();
        CoTaskMemFree(path);
        return found;
    }

    KernelVersion SystemVersion() override
    {
        // RtlGetVersion tells the truth; GetVersionEx answers 6.2 to a program without
        // a manifest that names the newer systems.
        using GetVersionProc = LONG(WINAPI*)(OSVERSIONINFOW*);
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        const auto getVersion =
            ntdll ? reinterpret_cast<GetVersionProc>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                  : nullptr;
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof(info);
        if (!getVersion || getVersion(&info) != 0)
            return {};
        return {info.dwMajorVersion, info.dwMinorVersion};
    }

    void PlayStartSound() override
    {
        PlaySoundW(MAKEINTRESOURCEW(IDR_START_SOUND), GetModuleHandleW(nullptr),
                   SND_RESOURCE | SND_NOWAIT | SND_NODEFAULT | SND_ASYNC);
    }

    bool EndSession(unsigned flags) override
    {
        return ExitWindowsEx(flags, 0) != 0;
    }

    int ShowMessage(void* owner, const std::string& text, const std::string& caption, unsigned style) override
    {
        return MessageBoxW(static_cast<HWND>(owner), Widen(text).c_str(), Widen(caption).c_str(), style);
    }
};

} // namespace

CPlatform& Platform()
{
    static CWin32Platform platform;
    return platform;
}
