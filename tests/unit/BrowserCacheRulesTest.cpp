// The built-in cache entries against a seeded Chrome and Firefox profile: the caches they
// reach, and the browsers' own data they never name.
#include "engine/run/CleaningEngine.h"
#include "support/EnvScope.h"
#include "support/RecordingSink.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(BuiltInBrowserCaches, ReachTheCachesAndNeverTheBrowsersOwnData)
{
    const std::string root = testenv::FreshFolder();
    CEnvScope env;
    env.Set("LOCALAPPDATA", root + "\\L");
    env.Set("APPDATA", root + "\\R");
    testenv::MakeFolder(root + "\\program");
    const std::string chrome = root + "\\L\\Google\\Chrome\\User Data";
    const std::string firefox = root + "\\R\\Mozilla\\Firefox";
    const std::string profile = firefox + "\\Profiles\\p.default";
    const std::string origin = profile + "\\storage\\default\\https+++example.com";
    const Lines caches = {
        chrome + "\\Default\\Service Worker\\CacheStorage\\0a1b\\index",
        chrome + "\\Default\\Service Worker\\ScriptCache\\index",
        chrome + "\\Profile 1\\Service Worker\\CacheStorage\\3c4d\\data_0",
        chrome + "\\Default\\DawnCache\\data_1",
        chrome + "\\Profile 1\\DawnGraphiteCache\\data_0",
        chrome + "\\Default\\DawnWebGPUCache\\index",
        chrome + "\\GraphiteDawnCache\\data_0",
        chrome + "\\Crashpad\\reports\\5e6f.dmp",
        origin + "\\cache\\caches.sqlite",
        origin + "\\cache\\morgue\\12\\{f0}.final",
        profile + "\\shader-cache\\0001",
        root + "\\L\\Mozilla\\Firefox\\Profiles\\p.default\\shader-cache\\0002",
        profile + "\\minidumps\\crash.dmp",
        firefox + "\\Crash Reports\\pending\\crash.dmp",
        firefox + "\\Crash Reports\\submitted\\bp-1.txt",
    };
    const Lines kept = {
        chrome + "\\Default\\Login Data",
        chrome + "\\Default\\Bookmarks",
        chrome + "\\Default\\Preferences",
        chrome + "\\Default\\Secure Preferences",
        chrome + "\\Default\\Web Data",
        chrome + "\\Default\\Extensions\\abcdef\\1.0_0\\manifest.json",
        chrome + "\\Default\\Local Extension Settings\\abcdef\\000003.log",
        chrome + "\\Default\\Service Worker\\Database\\000003.log",
        chrome + "\\Default\\Service Worker\\Database\\CURRENT",
        chrome + "\\Default\\Local Storage\\leveldb\\000003.log",
        chrome + "\\Crashpad\\settings.dat",
        chrome + "\\Local State",
        origin + "\\.metadata-v2",
        origin + "\\ls\\data.sqlite",
        profile + "\\places.sqlite",
        profile + "\\prefs.js",
        firefox + "\\Crash Reports\\InstallTime20231120",
    };
    for (const Lines* files : {&caches, &kept}) {
        for (const std::string& file : *files)
            testenv::WriteFile(file, "x");
    }

    CRecordingSink sink;
    CCleaningEngine engine{sink};
    RunOptions options;
    options.preview = true;
    options.rulesFolder = root + "\\program";
    options.rules = {"Google Chrome Cache",         "Google Chrome Code Cache", "Google Chrome GPU Cache",
                     "Google Chrome Crash Reports", "Mozilla Firefox Cache",    "Mozilla Firefox Crash Reports"};
    engine.UseOptions(options);
    engine.CleanRuleEntries(options);

    Lines listed = sink.Lines();
    std::sort(listed.begin(), listed.end());
    Lines expected;
    for (const std::string& file : caches)
        expected.push_back(file + " - would be deleted");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
}

} // namespace
