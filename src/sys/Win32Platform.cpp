// The Win32 implementation of the platform seam: wide APIs, UTF-8 outside. This file holds
// what is neither files nor registry: environment, system, text, resources, sound, messages.
#include "sys/Win32Platform.h"
#include "resource.h"
#include "sys/Utf8.h"

#include <windows.h>
#include <mmsystem.h>
#include <shlobj.h>

#include <ctime>
#include <iterator>

CPlatform& Platform()
{
    static CWin32Platform platform;
    return platform;
}

std::string CWin32Platform::GetEnv(const std::string& name)
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

std::string CWin32Platform::WindowsDirectory()
{
    wchar_t buffer[MAX_PATH];
    UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string() : Narrow(std::wstring_view(buffer, n));
}

std::string CWin32Platform::SystemDirectory()
{
    wchar_t buffer[MAX_PATH];
    UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string() : Narrow(std::wstring_view(buffer, n));
}

std::string CWin32Platform::ProfileDirectory()
{
    return GetEnv("USERPROFILE");
}

std::uint32_t CWin32Platform::PlatformId()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL ok = GetVersionExW(&info);
#pragma GCC diagnostic pop
    return ok ? info.dwPlatformId : 1;
}

std::string CWin32Platform::LocalTimeText()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    char buffer[128];
    size_t n = std::strftime(buffer, sizeof(buffer), "%c", &local);
    return std::string(buffer, n);
}

std::string CWin32Platform::LoadText(unsigned id)
{
    const wchar_t* text = nullptr;
    int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 ? Narrow(std::wstring_view(text, static_cast<size_t>(n))) : std::string();
}

std::string CWin32Platform::LoadResourceData(unsigned id)
{
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data ? std::string(static_cast<const char*>(data), SizeofResource(module, found)) : std::string();
}

std::string CWin32Platform::ProgramPath()
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

std::string CWin32Platform::ProgramFolder()
{
    const std::string path = ProgramPath();
    return path.substr(0, path.rfind('\\'));
}

std::string CWin32Platform::UserFolderPath(UserFolder folder)
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

KernelVersion CWin32Platform::SystemVersion()
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

void CWin32Platform::PlayStartSound()
{
    PlaySoundW(MAKEINTRESOURCEW(IDR_START_SOUND), GetModuleHandleW(nullptr),
               SND_RESOURCE | SND_NOWAIT | SND_NODEFAULT | SND_ASYNC);
}

bool CWin32Platform::EndSession(unsigned flags)
{
    return ExitWindowsEx(flags, 0) != 0;
}

int CWin32Platform::ShowMessage(void* owner, const std::string& text, const std::string& caption, unsigned style)
{
    return MessageBoxW(static_cast<HWND>(owner), Widen(text).c_str(), Widen(caption).c_str(), style);
}
