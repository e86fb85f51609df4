// The registry through the platform seam: wide keys and values, UTF-8 outside.
#include "sys/Utf8.h"
#include "sys/Win32Platform.h"

#include <windows.h>

#include <algorithm>

namespace {

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

// The strings of a REG_MULTI_SZ up to its first empty one (its end), each with its zero byte.
std::string NarrowMultiString(std::wstring_view text)
{
    std::string strings;
    for (std::size_t start = 0; start < text.size() && text[start] != L'\0';) {
        const std::size_t end = std::min(text.find(L'\0', start), text.size());
        strings += Narrow(text.substr(start, end - start));
        strings += '\0';
        start = end + 1;
    }
    return strings;
}

// Each string, then the empty one that ends the list.
std::wstring WidenMultiString(std::string_view strings)
{
    std::wstring text;
    for (std::size_t start = 0; start < strings.size();) {
        const std::size_t end = std::min(strings.find('\0', start), strings.size());
        text += Widen(strings.substr(start, end - start));
        text += L'\0';
        start = end + 1;
    }
    text += L'\0';
    return text;
}

void StoreData(DWORD type, const BYTE* data, DWORD size, RegValue& value)
{
    value.type = type;
    if (type == REG_MULTI_SZ) {
        const std::string strings =
            NarrowMultiString(std::wstring_view(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t)));
        value.data.assign(strings.begin(), strings.end());
    } else if (IsStringType(type)) {
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

} // namespace

OsError CWin32Platform::RegListValues(RegRoot root, const std::string& path, std::vector<RegValue>& values)
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

OsError CWin32Platform::RegListSubkeys(RegRoot root, const std::string& path, std::size_t maxNameBytes,
                                       std::vector<std::string>& names)
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

OsError CWin32Platform::RegReadValue(RegRoot root, const std::string& path, const std::string& name, bool createPath,
                                     RegValue& value)
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

OsError CWin32Platform::RegRemoveValue(RegRoot root, const std::string& path, const std::string& name)
{
    CRegKey key;
    if (LSTATUS rc = key.Open(root, path, KEY_SET_VALUE); rc != ERROR_SUCCESS)
        return rc;
    return RegDeleteValueW(key.Get(), Widen(name).c_str());
}

OsError CWin32Platform::RegWriteValue(RegRoot root, const std::string& path, const std::string& name,
                                      std::uint32_t type, const std::vector<std::uint8_t>& data)
{
    CRegKey key;
    if (LSTATUS rc = key.Create(root, path, L"String"); rc != ERROR_SUCCESS)
        return rc;
    std::wstring wideName = Widen(name);
    if (type == REG_MULTI_SZ) {
        const std::wstring text =
            WidenMultiString(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
        return RegSetValueExW(key.Get(), wideName.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    }
    if (IsStringType(type)) {
        std::wstring text = Widen(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
        return RegSetValueExW(key.Get(), wideName.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    return RegSetValueExW(key.Get(), wideName.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
}

bool CWin32Platform::RegKeyExists(RegRoot root, const std::string& path)
{
    CRegKey key;
    return key.Open(root, path, KEY_QUERY_VALUE) == ERROR_SUCCESS;
}

OsError CWin32Platform::RegRemoveKey(RegRoot root, const std::string& path)
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
