#include "support/HostLink.h"

#include "sys/Utf8.h"

#include <windows.h>

namespace testenv {

namespace {

using UnixNameFn = char*(CDECL*)(LPCWSTR);

UnixNameFn WineUnixName()
{
    return reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

std::string QuotedUnixName(UnixNameFn toUnix, const std::string& path)
{
    char* name = toUnix(Widen(path).c_str());
    if (!name)
        return "\"\"";
    std::string result = std::string("\"") + name + "\"";
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

bool Exists(const std::string& path)
{
    return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs /bin/<tool> on the host and waits until path exists (or is gone). Wine cannot
// wait for a host process, so the result is watched for instead.
bool RunHostTool(const std::string& tool, const std::string& arguments, const std::string& path, bool shouldExist)
{
    std::wstring commandLine = Widen("/bin/" + tool + " " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // Wine starts a host program given by its "\\?\unix\" path.
    if (!::CreateProcessW(Widen("\\\\?\\unix\\bin\\" + tool).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &process))
        return false;
    // A host program has no Windows process: Wine reports success but leaves stray values
    // in the handles, and closing them would close some other handle of this process (a
    // cached registry key, say). There is nothing of ours to close.
    for (int wait = 0; wait < 100; ++wait) {
        if (Exists(path) == shouldExist)
            return true;
        ::Sleep(50);
    }
    return false;
}

} // namespace

bool MakeSymlink(const std::string& target, const std::string& link)
{
    if (UnixNameFn toUnix = WineUnixName())
        return RunHostTool("ln", "-s " + QuotedUnixName(toUnix, target) + " " + QuotedUnixName(toUnix, link), link,
                           true);
    ::CreateSymbolicLinkW(Widen(link).c_str(), Widen(target).c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
    return Exists(link);
}

void RemoveSymlink(const std::string& link)
{
    if (UnixNameFn toUnix = WineUnixName())
        RunHostTool("rm", QuotedUnixName(toUnix, link), link, false);
    else
        ::RemoveDirectoryW(Widen(link).c_str());
}

} // namespace testenv
