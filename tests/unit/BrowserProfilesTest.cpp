// The browsers' profiles found in the user's folders, whatever the browser, channel or
// layout, and whether the browser holds one: seeded folders, a real profiles.ini, and
// lock files held the way each browser holds them.
#include "engine/browsers/BrowserProfiles.h"
#include "support/EnvScope.h"
#include "support/TestEnv.h"
#include "sys/Utf8.h"
#include "sys/Win32Handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

struct LayoutCase {
    const char* name;
    Lines folders; // below the test's folder; "L\" is %LocalAppData%, "R\" is %AppData%
    std::vector<std::pair<std::string, std::string>> files; // "{root}" in a file stands for the test's folder
    Lines expected; // product|browser|family|profile|cache|lock, paths below the test's folder
};

const std::string kFirefoxIni = "R\\Mozilla\\Firefox\\profiles.ini";
const std::string kStore = "L\\Packages\\Mozilla.Firefox_n80bbvh6b1yt2\\LocalCache";

std::string Replaced(std::string text, const std::string& root)
{
    for (std::size_t at = text.find("{root}"); at != std::string::npos; at = text.find("{root}", at))
        text.replace(at, 6, root);
    return text;
}

class BrowserProfiles : public ::testing::Test {
protected:
    void Seed(const LayoutCase& layout)
    {
        root = testenv::FreshFolder();
        env.Set("LOCALAPPDATA", root + "\\L");
        env.Set("APPDATA", root + "\\R\\"); // a trailing backslash is no part of the names found
        for (const std::string& folder : layout.folders)
            testenv::MakeFolder(root + "\\" + folder);
        for (const auto& [path, contents] : layout.files)
            testenv::WriteFile(root + "\\" + path, Replaced(contents, root));
    }

    Lines Found() const
    {
        const auto below = [&](const std::string& path) {
            return path.rfind(root + "\\", 0) == 0 ? path.substr(root.size() + 1) : path;
        };
        Lines found;
        for (const BrowserProfile& p : FindBrowserProfiles(Platform())) {
            const char* family = p.family == BrowserFamily::Firefox ? "Firefox" : "Chromium";
            found.push_back(p.product + "|" + p.browser + "|" + family + "|" + below(p.profileDir) + "|" +
                            below(p.cacheDir) + "|" + below(p.lockFile));
        }
        return found;
    }

    CEnvScope env;
    std::string root;
};

TEST_F(BrowserProfiles, EveryBrowserChannelAndLayoutIsFoundAndUntrustedPathsAreNot)
{
    const std::string chrome = "L\\Google\\Chrome\\User Data";
    const std::string opera = "R\\Opera Software\\Opera Stable";
    const std::string gx = "R\\Opera Software\\Opera GX Stable";
    const LayoutCase cases[] = {
        {"Chrome's channels, numbered profiles by number, other folders and files passed over",
         {chrome + "\\Default", chrome + "\\Profile 10", chrome + "\\Profile 2", chrome + "\\Guest Profile",
          chrome + "\\System Profile", chrome + "\\Profile x", chrome + "\\Crashpad",
          "L\\Google\\Chrome Beta\\User Data\\Profile 1", "L\\Google\\Chrome Dev\\User Data\\Default",
          "L\\Google\\Chrome SxS\\User Data\\Default"},
         {{chrome + "\\Profile 3", "a file"}, {chrome + "\\lockfile", ""}},
         {"Google Chrome|Chrome|Chromium|" + chrome + "\\Default||" + chrome + "\\lockfile",
          "Google Chrome|Chrome|Chromium|" + chrome + "\\Profile 2||" + chrome + "\\lockfile",
          "Google Chrome|Chrome|Chromium|" + chrome + "\\Profile 10||" + chrome + "\\lockfile",
          "Google Chrome|Chrome Beta|Chromium|L\\Google\\Chrome Beta\\User Data\\Profile 1||"
          "L\\Google\\Chrome Beta\\User Data\\lockfile",
          "Google Chrome|Chrome Dev|Chromium|L\\Google\\Chrome Dev\\User Data\\Default||"
          "L\\Google\\Chrome Dev\\User Data\\lockfile",
          "Google Chrome|Chrome Canary|Chromium|L\\Google\\Chrome SxS\\User Data\\Default||"
          "L\\Google\\Chrome SxS\\User Data\\lockfile"}},
        {"Edge's, Brave's and Vivaldi's channels, in product order",
         {"L\\Vivaldi\\User Data\\Default", "L\\BraveSoftware\\Brave-Browser-Nightly\\User Data\\Default",
          "L\\BraveSoftware\\Brave-Browser\\User Data\\Default", "L\\Microsoft\\Edge SxS\\User Data\\Default",
          "L\\Microsoft\\Edge\\User Data\\Default", "L\\Microsoft\\Edge\\User Data\\Profile 1"},
         {},
         {"Microsoft Edge|Edge|Chromium|L\\Microsoft\\Edge\\User Data\\Default||L\\Microsoft\\Edge\\User "
          "Data\\lockfile",
          "Microsoft Edge|Edge|Chromium|L\\Microsoft\\Edge\\User Data\\Profile 1||"
          "L\\Microsoft\\Edge\\User Data\\lockfile",
          "Microsoft Edge|Edge Canary|Chromium|L\\Microsoft\\Edge SxS\\User Data\\Default||"
          "L\\Microsoft\\Edge SxS\\User Data\\lockfile",
          "Brave|Brave|Chromium|L\\BraveSoftware\\Brave-Browser\\User Data\\Default||"
          "L\\BraveSoftware\\Brave-Browser\\User Data\\lockfile",
          "Brave|Brave Nightly|Chromium|L\\BraveSoftware\\Brave-Browser-Nightly\\User Data\\Default||"
          "L\\BraveSoftware\\Brave-Browser-Nightly\\User Data\\lockfile",
          "Vivaldi|Vivaldi|Chromium|L\\Vivaldi\\User Data\\Default||L\\Vivaldi\\User Data\\lockfile"}},
        {"Opera Stable without Default is the profile, its caches below Local",
         {opera, "L\\Opera Software\\Opera Stable\\Cache"},
         {{opera + "\\Cookies", ""}},
         {"Opera|Opera|Chromium|" + opera + "|L\\Opera Software\\Opera Stable|" + opera + "\\lockfile"}},
        {"Opera Stable with Default, no caches below Local",
         {opera + "\\Default"},
         {},
         {"Opera|Opera|Chromium|" + opera + "\\Default||" + opera + "\\lockfile"}},
        {"Opera GX and its side profiles, one lock for all",
         {gx, gx + "\\_side_profiles\\9f2c", gx + "\\_side_profiles\\1a7e", "L\\Opera Software\\Opera GX Stable",
          "L\\Opera Software\\Opera GX Stable\\_side_profiles\\1a7e"},
         {},
         {"Opera GX|Opera GX|Chromium|" + gx + "|L\\Opera Software\\Opera GX Stable|" + gx + "\\lockfile",
          "Opera GX|Opera GX|Chromium|" + gx +
              "\\_side_profiles\\1a7e|L\\Opera Software\\Opera GX "
              "Stable\\_side_profiles\\1a7e|" +
              gx + "\\lockfile",
          "Opera GX|Opera GX|Chromium|" + gx + "\\_side_profiles\\9f2c||" + gx + "\\lockfile"}},
        {"Firefox's profiles.ini: relative and absolute paths, in the file's order",
         {"R\\Mozilla\\Firefox\\Profiles\\b.default-release", "R\\Mozilla\\Firefox\\Profiles\\a.default",
          "L\\Mozilla\\Firefox\\Profiles\\b.default-release", "Elsewhere\\custom"},
         {{kFirefoxIni, "\xEF\xBB\xBF[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n\r\n"
                        "[Profile1]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/b.default-release\r\n"
                        "Default=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/a.default\r\n"
                        "\r\n[Profile2]\r\nName=custom\r\nIsRelative=0\r\nPath={root}\\Elsewhere\\custom\\\r\n\r\n"
                        "[Install308046B0AF4A39CB]\r\nDefault=Profiles/a.default\r\nLocked=1\r\n"}},
         {"Mozilla Firefox|Firefox|Firefox|R\\Mozilla\\Firefox\\Profiles\\b.default-release|"
          "L\\Mozilla\\Firefox\\Profiles\\b.default-release|R\\Mozilla\\Firefox\\Profiles\\b.default-release\\parent."
          "lock",
          "Mozilla Firefox|Firefox|Firefox|R\\Mozilla\\Firefox\\Profiles\\a.default||"
          "R\\Mozilla\\Firefox\\Profiles\\a.default\\parent.lock",
          "Mozilla Firefox|Firefox|Firefox|Elsewhere\\custom||Elsewhere\\custom\\parent.lock"}},
        {"Firefox's profiles.ini naming what is no profile folder",
         {"R\\Mozilla\\Firefox\\Profiles\\good", "Outside", "R\\Mozilla\\Firefox\\Profiles\\x"},
         {{"R\\Mozilla\\Firefox\\Profiles\\afile", "x"},
          {kFirefoxIni, "[Profile0]\nIsRelative=1\nPath=Profiles/missing\n"
                        "[Profile1]\nIsRelative=1\nPath=../../../Outside\n"
                        "[Profile2]\nIsRelative=1\nPath=Profiles/afile\n"
                        "[Profile3]\nIsRelative=1\nPath=Profiles/*\n"
                        "[Profile4]\nIsRelative=0\nPath=C:\\windows\n"
                        "[Profile5]\nIsRelative=0\nPath=Profiles/x\n"
                        "[Profile6]\nIsRelative=1\nPath={root}\\Outside\n"
                        "[Profile7]\nPath=Profiles/x\n"
                        "[Profile8]\nIsRelative=0\nPath=\\\\?\\{root}\\Outside\n"
                        "[Profile9]\nIsRelative=0\nPath=C:\\users\\\n"
                        "[ProfileX]\nIsRelative=1\nPath=Profiles/x\n"
                        "[Profile10]\nIsRelative=1\nPath=Profiles/good\n"
                        "[Profile11]\nIsRelative=1\nPath=Profiles\\GOOD\\\n"}},
         {"Mozilla Firefox|Firefox|Firefox|R\\Mozilla\\Firefox\\Profiles\\good||"
          "R\\Mozilla\\Firefox\\Profiles\\good\\parent.lock"}},
        {"A profiles.ini larger than any Firefox writes",
         {"R\\Mozilla\\Firefox\\Profiles\\a"},
         {{kFirefoxIni, "[Profile0]\nIsRelative=1\nPath=Profiles/a\n" + std::string(70000, '\n')}},
         {}},
        {"The Microsoft Store version beside the other, its caches inside its package",
         {"R\\Mozilla\\Firefox\\Profiles\\a", kStore + "\\Roaming\\Mozilla\\Firefox\\Profiles\\s.default",
          kStore + "\\Local\\Mozilla\\Firefox\\Profiles\\s.default",
          "L\\Packages\\Mozilla.Thunderbird_x\\LocalCache\\Roaming\\Mozilla\\Firefox\\Profiles\\t"},
         {{kFirefoxIni, "[Profile0]\nIsRelative=1\nPath=Profiles/a\n"},
          {kStore + "\\Roaming\\Mozilla\\Firefox\\profiles.ini", "[Profile0]\nIsRelative=1\nPath=Profiles/s.default\n"},
          {"L\\Packages\\Mozilla.Thunderbird_x\\LocalCache\\Roaming\\Mozilla\\Firefox\\profiles.ini",
           "[Profile0]\nIsRelative=1\nPath=Profiles/t\n"}},
         {"Mozilla "
          "Firefox|Firefox|Firefox|R\\Mozilla\\Firefox\\Profiles\\a||R\\Mozilla\\Firefox\\Profiles\\a\\parent.lock",
          "Mozilla Firefox|Firefox|Firefox|" + kStore + "\\Roaming\\Mozilla\\Firefox\\Profiles\\s.default|" + kStore +
              "\\Local\\Mozilla\\Firefox\\Profiles\\s.default|" + kStore +
              "\\Roaming\\Mozilla\\Firefox\\Profiles\\s.default\\parent.lock"}},
    };
    for (const LayoutCase& layout : cases) {
        Seed(layout);
        EXPECT_EQ(Found(), layout.expected) << layout.name;
    }
}

// Holds a lock file with the access and sharing its browser asks for.
CHandle HoldLock(const std::string& path, DWORD access, DWORD share, DWORD creation, DWORD flags)
{
    return CHandle(::CreateFileW(Widen(path).c_str(), access, share, nullptr, creation, flags, nullptr));
}

TEST_F(BrowserProfiles, AProfileIsInUseOnlyWhileItsBrowserHoldsTheLockFile)
{
    Seed({"Firefox and Chrome", {"R\\ff", "L\\Google\\Chrome\\User Data\\Default"}, {}, {}});
    BrowserProfile firefox{"Mozilla Firefox", "Firefox", BrowserFamily::Firefox,
                           root + "\\R\\ff",  "",        root + "\\R\\ff\\parent.lock"};
    BrowserProfile chrome{"Google Chrome",
                          "Chrome",
                          BrowserFamily::Chromium,
                          root + "\\L\\Google\\Chrome\\User Data\\Default",
                          "",
                          root + "\\L\\Google\\Chrome\\User Data\\lockfile"};

    EXPECT_FALSE(ProfileInUse(Platform(), firefox)) << "no lock file";
    EXPECT_FALSE(testenv::FileExists(firefox.lockFile)) << "the test never creates it";
    {
        CHandle held = HoldLock(firefox.lockFile, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS, 0);
        ASSERT_NE(held.Get(), INVALID_HANDLE_VALUE);
        EXPECT_TRUE(ProfileInUse(Platform(), firefox)) << "Firefox running";
    }
    EXPECT_TRUE(testenv::FileExists(firefox.lockFile));
    EXPECT_FALSE(ProfileInUse(Platform(), firefox)) << "Firefox closed, its lock file left behind";
    {
        CHandle held =
            HoldLock(chrome.lockFile, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE);
        ASSERT_NE(held.Get(), INVALID_HANDLE_VALUE);
        EXPECT_TRUE(ProfileInUse(Platform(), chrome)) << "Chrome running, with or without a window";
        EXPECT_FALSE(ProfileInUse(Platform(), firefox)) << "another browser's lock";
    }
    EXPECT_FALSE(ProfileInUse(Platform(), chrome)) << "Chrome closed";
    testenv::WriteFile(chrome.lockFile, "");
    EXPECT_FALSE(ProfileInUse(Platform(), chrome)) << "a lock file left by a crash";
}

} // namespace
