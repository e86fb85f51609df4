// Files, folders, finds, handles and volumes through the platform seam: wide APIs, UTF-8 outside.
#include "sys/Utf8.h"
#include "sys/Win32Platform.h"

#include <windows.h>
#include <winioctl.h>
#include <winternl.h>

#include <algorithm>

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

} // namespace

void* CWin32Platform::FindOpen(const std::string& pattern, FindEntry& first, OsError& error)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(ToWidePath(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return nullptr;
    }
    error = 0;
    FillEntry(data, first);
    return find;
}

bool CWin32Platform::FindNext(void* find, FindEntry& entry)
{
    WIN32_FIND_DATAW data;
    if (!FindNextFileW(static_cast<HANDLE>(find), &data))
        return false;
    FillEntry(data, entry);
    return true;
}

void CWin32Platform::FindClose(void* find)
{
    ::FindClose(static_cast<HANDLE>(find));
}

OsError CWin32Platform::GetFullPath(const std::string& path, std::string& full)
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

OsError CWin32Platform::GetLongPath(const std::string& path, std::string& longPath)
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

OsError CWin32Platform::GetVolumeRoot(const std::string& path, std::string& root)
{
    std::wstring wide = ToWidePath(path);
    std::wstring buffer(wide.size() + MAX_PATH, L'\0');
    if (!GetVolumePathNameW(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size())))
        return GetLastError();
    buffer.resize(wcslen(buffer.c_str()));
    root = Narrow(buffer);
    return 0;
}

OsError CWin32Platform::GetAttributes(const std::string& path, std::uint32_t& attributes)
{
    DWORD a = GetFileAttributesW(ToWidePath(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return GetLastError();
    attributes = a;
    return 0;
}

OsError CWin32Platform::SetAttributes(const std::string& path, std::uint32_t attributes)
{
    return SetFileAttributesW(ToWidePath(path).c_str(), attributes) ? 0 : GetLastError();
}

OsError CWin32Platform::DeleteFileAt(const std::string& path)
{
    return DeleteFileW(ToWidePath(path).c_str()) ? 0 : GetLastError();
}

OsError CWin32Platform::RemoveFolder(const std::string& path)
{
    return RemoveDirectoryW(ToWidePath(path).c_str()) ? 0 : GetLastError();
}

OsError CWin32Platform::MovePath(const std::string& from, const std::string& to)
{
    return MoveFileW(ToWidePath(from).c_str(), ToWidePath(to).c_str()) ? 0 : GetLastError();
}

OsError CWin32Platform::CopyPath(const std::string& from, const std::string& to, bool failIfExists)
{
    return CopyFileW(ToWidePath(from).c_str(), ToWidePath(to).c_str(), failIfExists) ? 0 : GetLastError();
}

void* CWin32Platform::FileOpen(const std::string& path, FileMode mode, OsError& error)
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
    } else if (mode == FileMode::LockProbe) {
        share = 0;
    }
    HANDLE file = CreateFileW(ToWidePath(path).c_str(), access, share, nullptr, creation, flags, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return nullptr;
    }
    error = 0;
    return file;
}

OsError CWin32Platform::FileSize(void* file, std::uint64_t& size)
{
    LARGE_INTEGER li;
    if (!GetFileSizeEx(static_cast<HANDLE>(file), &li))
        return GetLastError();
    size = static_cast<std::uint64_t>(li.QuadPart);
    return 0;
}

OsError CWin32Platform::FileInformation(void* file, FileInfo& info)
{
    BY_HANDLE_FILE_INFORMATION data;
    if (!GetFileInformationByHandle(static_cast<HANDLE>(file), &data))
        return GetLastError();
    info.volume = data.dwVolumeSerialNumber;
    info.index = (static_cast<std::uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
    info.links = data.nNumberOfLinks;
    return 0;
}

OsError CWin32Platform::FileAllocatedRanges(void* file, std::uint64_t length, std::vector<ByteRange>& ranges)
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

OsError CWin32Platform::FileSeek(void* file, std::uint64_t offset)
{
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(static_cast<HANDLE>(file), to, nullptr, FILE_BEGIN) ? 0 : GetLastError();
}

OsError CWin32Platform::FileRead(void* file, void* buffer, std::size_t length, std::size_t& read)
{
    DWORD got = 0;
    DWORD ask = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
    if (!ReadFile(static_cast<HANDLE>(file), buffer, ask, &got, nullptr))
        return GetLastError();
    read = got;
    return 0;
}

OsError CWin32Platform::FileWrite(void* file, const void* data, std::size_t length)
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

OsError CWin32Platform::FileFlush(void* file)
{
    return FlushFileBuffers(static_cast<HANDLE>(file)) ? 0 : GetLastError();
}

void CWin32Platform::FileClose(void* file)
{
    CloseHandle(static_cast<HANDLE>(file));
}

OsError CWin32Platform::FileObjectName(void* file, std::string& name)
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

OsError CWin32Platform::FileSetAttributes(void* file, std::uint32_t attributes)
{
    FILE_BASIC_INFO info{};
    info.FileAttributes = attributes;
    return SetFileInformationByHandle(static_cast<HANDLE>(file), FileBasicInfo, &info, sizeof(info)) ? 0
                                                                                                     : GetLastError();
}

OsError CWin32Platform::FileDelete(void* file)
{
    FILE_DISPOSITION_INFO info{};
    info.DeleteFile = TRUE;
    return SetFileInformationByHandle(static_cast<HANDLE>(file), FileDispositionInfo, &info, sizeof(info))
               ? 0
               : GetLastError();
}

OsError CWin32Platform::FileAllocatedSize(void* file, std::uint64_t& bytes)
{
    FILE_STANDARD_INFO info{};
    if (!GetFileInformationByHandleEx(static_cast<HANDLE>(file), FileStandardInfo, &info, sizeof(info)))
        return GetLastError();
    bytes = static_cast<std::uint64_t>(info.AllocationSize.QuadPart);
    return 0;
}

OsError CWin32Platform::FreeSpace(const std::string& path, std::uint64_t& bytes)
{
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(ToWidePath(path).c_str(), &available, nullptr, nullptr))
        return GetLastError();
    bytes = available.QuadPart;
    return 0;
}

unsigned CWin32Platform::DriveType(const std::string& root)
{
    return GetDriveTypeW(Widen(root).c_str());
}

bool CWin32Platform::DriveIsHostRoot(const std::string& root)
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
