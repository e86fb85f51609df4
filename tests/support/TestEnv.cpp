#include "support/TestEnv.h"

#include "sys/Utf8.h"

#include <stdexcept>

namespace testenv {

namespace {
// Absolute paths get the long-path prefix, so tests can build deep trees.
std::wstring W(const std::string& s)
{
    std::wstring wide = Widen(s);
    if (wide.size() >= 240 && wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\')
        return L"\\\\?\\" + wide;
    return wide;
}

void Check(LSTATUS rc, const char* what)
{
    if (rc != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed with " + std::to_string(rc));
}

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(path);
            else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ::RemoveDirectoryW(path.c_str());
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}
} // namespace

std::string FreshFolder()
{
    static int counter = 0;
    const std::string folder = "C:\\purgix-tests\\t" + std::to_string(::GetCurrentProcessId()) + "_" +
                               std::to_string(++counter);
    RemoveTree(W(folder));
    MakeFolder(folder);
    return folder;
}

std::string BuildFolder()
{
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path = path.substr(0, path.rfind(L'\\'));
    return Narrow(path.substr(0, path.rfind(L'\\')));
}

void MakeFolder(const std::string& path)
{
    std::wstring wide = W(path);
    const size_t first = wide.rfind(L"\\\\?\\", 0) == 0 ? 7 : 3;
    for (size_t at = wide.find(L'\\', first); at != std::wstring::npos; at = wide.find(L'\\', at + 1))
        ::CreateDirectoryW(wide.substr(0, at).c_str(), nullptr);
    ::CreateDirectoryW(wide.c_str(), nullptr);
}

void WriteFile(const std::string& path, const std::string& contents)
{
    const size_t slash = path.rfind('\\');
    if (slash != std::string::npos)
        MakeFolder(path.substr(0, slash));
    HANDLE file = ::CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    ::WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string ReadFile(const std::string& path)
{
    HANDLE file = ::CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot read " + path);
    std::string contents;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        contents.append(buffer, got);
    ::CloseHandle(file);
    return contents;
}

bool FileExists(const std::string& path)
{
    const DWORD a = ::GetFileAttributesW(W(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path)
{
    const DWORD a = ::GetFileAttributesW(W(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::uint32_t Attributes(const std::string& path) { return ::GetFileAttributesW(W(path).c_str()); }

void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& value, DWORD type)
{
    const std::wstring text = W(value);
    Check(::RegSetKeyValueW(root, W(path).c_str(), W(name).c_str(), type, text.c_str(),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
          "RegSetKeyValue");
}

void SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value)
{
    Check(::RegSetKeyValueW(root, W(path).c_str(), W(name).c_str(), REG_DWORD, &value, sizeof(value)),
          "RegSetKeyValue");
}

void SetBinary(HKEY root, const std::string& path, const std::string& name, const std::vector<BYTE>& data, DWORD type)
{
    Check(::RegSetKeyValueW(root, W(path).c_str(), W(name).c_str(), type, data.data(),
                            static_cast<DWORD>(data.size())),
          "RegSetKeyValue");
}

void DeleteTree(HKEY root, const std::string& path) { ::RegDeleteTreeW(root, W(path).c_str()), ::RegDeleteKeyW(root, W(path).c_str()); }

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key;
    if (::RegOpenKeyExW(root, W(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

bool ValueExists(HKEY root, const std::string& path, const std::string& name)
{
    return ::RegGetValueW(root, W(path).c_str(), W(name).c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

std::string GetString(HKEY root, const std::string& path, const std::string& name)
{
    DWORD size = 0;
    if (::RegGetValueW(root, W(path).c_str(), W(name).c_str(), RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                       nullptr, nullptr, &size) != ERROR_SUCCESS)
        throw std::runtime_error("no string value " + name);
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    ::RegGetValueW(root, W(path).c_str(), W(name).c_str(), RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                   nullptr, text.data(), &size);
    text.resize(wcslen(text.c_str()));
    return Narrow(text);
}

DWORD GetDword(HKEY root, const std::string& path, const std::string& name, DWORD fallback)
{
    DWORD value = 0, size = sizeof(value);
    if (::RegGetValueW(root, W(path).c_str(), W(name).c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return fallback;
    return value;
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path)
{
    std::vector<std::string> names;
    HKEY key;
    if (::RegOpenKeyExW(root, W(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    wchar_t name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD length = 16384;
        if (::RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(Narrow(std::wstring(name, length)));
    }
    ::RegCloseKey(key);
    return names;
}

} // namespace testenv
