#include "support/RunPlaces.h"

#include "support/TestEnv.h"
#include "sys/Utf8.h"

namespace testenv {

namespace {
constexpr const char* kShellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kIeCookiesKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Special Paths\\Cookies";
constexpr const char* kNetscapeCookiesKey = "Software\\Netscape\\Netscape Navigator\\Cookies";
} // namespace

std::string PointRunPlacesAtEmptyFolders()
{
    const std::string places = FreshFolder();
    for (const char* name : {"Cache", "History", "Cookies", "Favorites", "Recent", "Temp"})
        MakeFolder(places + "\\" + name);
    for (const char* value : {"Cache", "History", "Cookies", "Favorites", "Recent"})
        SetString(HKEY_CURRENT_USER, kShellFolders, value == std::string("Cookies") ? "Cookie" : value,
                  places + "\\" + value);
    // The cookie places that have no value in a new prefix would each write an INFO
    // line; with them set, a run over this profile writes no line of its own.
    SetString(HKEY_LOCAL_MACHINE, kIeCookiesKey, "Directory", places + "\\Cookies");
    SetString(HKEY_CURRENT_USER, kNetscapeCookiesKey, "Cookie File", "");
    const std::wstring temp = Widen(places + "\\Temp");
    ::SetEnvironmentVariableW(L"TEMP", temp.c_str());
    ::SetEnvironmentVariableW(L"TMP", temp.c_str());
    return places;
}

} // namespace testenv
