// Volumes and the free-space wipe's transient files through the platform seam.
#include "sys/Utf8.h"
#include "sys/Win32Platform.h"

#include <windows.h>
#include <winioctl.h>

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

void* OrNull(HANDLE handle, OsError& error)
{
    error = handle == INVALID_HANDLE_VALUE ? ::GetLastError() : 0;
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

} // namespace

bool CWin32Platform::VolumeOnSolidState(const std::string& root)
{
    // The volume's device ("\\.\C:") answers for the drive under it; no access rights are
    // needed to ask for its properties.
    const std::wstring device = L"\\\\.\\" + Widen(root.substr(0, 2));
    HANDLE volume = ::CreateFileW(device.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (volume == INVALID_HANDLE_VALUE)
        return false;
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceSeekPenaltyProperty;
    query.QueryType = PropertyStandardQuery;
    DEVICE_SEEK_PENALTY_DESCRIPTOR penalty{};
    DWORD returned = 0;
    const bool answered = ::DeviceIoControl(volume, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), &penalty,
                                            sizeof(penalty), &returned, nullptr) != FALSE;
    ::CloseHandle(volume);
    return answered && returned >= sizeof(penalty) && !penalty.IncursSeekPenalty;
}

OsError CWin32Platform::CreateFolder(const std::string& path)
{
    return ::CreateDirectoryW(Widen(path).c_str(), nullptr) ? 0 : ::GetLastError();
}

void* CWin32Platform::CreateTransientFile(const std::string& path, bool unbuffered, OsError& error)
{
    const DWORD flags = FILE_FLAG_DELETE_ON_CLOSE | (unbuffered ? FILE_FLAG_NO_BUFFERING | FILE_FLAG_WRITE_THROUGH : 0);
    return OrNull(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                CREATE_NEW, flags, nullptr),
                  error);
}

void* CWin32Platform::HoldTransientFolder(const std::string& path, OsError& error)
{
    return OrNull(::CreateFileW(Widen(path).c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_DELETE_ON_CLOSE, nullptr),
                  error);
}
