// Groups 1 to 9 of a cleaning run against a seeded registry and real folders: the
// status texts and report lines in order, the INFO lines, the gates, the progress
// steps, the stop tests, the TEMP rule and the drive loops.
#include "support/FaultyPlatform.h"
#include "support/RunFixture.h"
#include "support/TestEnv.h"
#include "sys/NameCase.h"
#include "sys/Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace runkeys;
using testenv::FileExists;
using testenv::FolderExists;

namespace {

const std::string kStatusExtensible = "Deleting Internet Explorer 4.x extensible caches";
const std::string kStatusTemp = "Deleting temporary files";
const std::string kStatusRegistry = "Cleaning up the registry";
const std::string kStatusDone = "Initial Purgix! done. Now restart Windows to complete Purgix!";
const std::string kStatusCancelled = "Purgix! cancelled";

const std::string kInfoIeCookies = "INFO: Unable to read Internet Explorer Cookie directory from the registry";
const std::string kInfoNetscapeCookies = "INFO: Unable to read Netscape 3.x's Cookie file location from the registry";
const std::string kInfoFavorites = "INFO: Unable to read Internet Explorer's Favorites directory from the registry";
const std::string kInfoBookmarks = "INFO: Unable to read location of Netscape 3.x's Bookmarks file from the registry";
const std::string kInfoRecent = "INFO: Unable to read the Recent Documents directory from the registry";

std::string Deleted(const std::string& path)
{
    return path + " - deleted";
}

Lines Lowered(Lines lines)
{
    for (std::string& line : lines)
        line = ::Lowered(std::move(line));
    return lines;
}

class Catalogue : public CRunFixture {
protected:
    // The Netscape 4.x profile of user "cat".
    std::string SeedNetscape4()
    {
        const std::string profile = m_root + "\\ns4";
        SetLocation(kLm, kNetscapeUsers, "CurrentUser", "cat");
        SetLocation(kLm, kNetscapeUsers + "\\cat", "DirRoot", profile);
        return profile;
    }
};

TEST_F(Catalogue, CachesAndHistoryAreSweptInOrderWithTheirRecurseFlags)
{
    const std::string& r = m_root;
    SetLocation(kLm, kIeMain, "Cache_Directory", r + "\\ie2");
    SetLocation(kLm, kCachePaths, "Directory", r + "\\ie3");
    SetLocation(kCu, kExtensibleCache + "\\Feeds", "CachePath", r + "\\ext");
    SetLocation(kCu, kShellFolders, "Cache", r + "\\explorer");
    SetLocation(kCu, kNetscape + "\\Cache", "Cache Dir", r + "\\ns3cache");
    const std::string ns4 = SeedNetscape4();
    m_registry.SetDword(kLm, kCachePaths, "Paths", 1);
    SetLocation(kLm, kCachePaths + "\\Path1", "CachePath", r + "\\cache1");
    SetLocation(kLm, kIeMain, "History_Directory", r + "\\hist2");
    SetLocation(kLm, kUrlHistory, "Directory", r + "\\hist3");
    SetLocation(kCu, kShellFolders, "History", r + "\\winhist");
    SetLocation(kCu, kNetscape + "\\History", "History File", r + "\\ns3.hst");
    for (const char* file : {"\\ie2\\a.htm", "\\ie2\\sub\\b.htm", "\\ie3\\a.htm", "\\ie3\\sub\\b.htm", "\\ext\\x.dat",
                             "\\ext\\sub\\y.dat", "\\explorer\\c.htm", "\\ns3cache\\d.htm", "\\ns4\\Cache\\e.htm",
                             "\\cache1\\f.htm", "\\hist2\\g.htm", "\\hist2\\sub\\h.htm", "\\hist3\\i.htm",
                             "\\winhist\\j.htm", "\\ns3.hst", "\\ns4\\netscape.hst", "\\ns4\\cookies.txt"})
        Put(r + file);

    RunClean();

    EXPECT_EQ(OwnLines(), (Lines{
                              Deleted(r + "\\ie2\\a.htm"),
                              Deleted(r + "\\ie3\\a.htm"),
                              Deleted(r + "\\ie3\\sub\\b.htm"),
                              Deleted(r + "\\ie3\\sub\\"),
                              Deleted(r + "\\ext\\x.dat"),
                              Deleted(r + "\\explorer\\c.htm"),
                              Deleted(r + "\\ns3cache\\d.htm"),
                              Deleted(ns4 + "\\Cache\\e.htm"),
                              Deleted(r + "\\cache1\\f.htm"),
                              Deleted(r + "\\hist2\\g.htm"),
                              Deleted(r + "\\hist3\\i.htm"),
                              Deleted(r + "\\winhist\\j.htm"),
                              Deleted(r + "\\ns3.hst"),
                              Deleted(ns4 + "\\netscape.hst"),
                              kInfoIeCookies,
                              kInfoNetscapeCookies,
                              Deleted(ns4 + "\\cookies.txt"),
                              kInfoRecent,
                          }));
    EXPECT_EQ(m_sink.statuses, (Lines{
                                   "Deleting Internet Explorer 2.0 cache",
                                   "Deleting Internet Explorer 3.x primary cache",
                                   kStatusExtensible,
                                   "Deleting Windows Explorer cache",
                                   "Deleting Netscape Navigator 3.x cache",
                                   "Deleting Netscape Navigator 4.x cache",
                                   "Deleting Internet Explorer 3.x/4.x cache",
                                   "Deleting Internet Explorer 2.0 (and 1.0?] history",
                                   "Deleting Internet Explorer 3.x and 4.x history",
                                   "Deleting Windows History cache",
                                   "Deleting Netscape Navigator 3.x history",
                                   "Deleting Netscape Navigator 4.x history",
                                   "Deleting Netscape Navigator 4.x cookie file",
                                   kStatusTemp,
                                   kStatusRegistry,
                                   kStatusDone,
                               }));
    // The flat sweeps keep what lies in subfolders.
    EXPECT_TRUE(FileExists(r + "\\ie2\\sub\\b.htm"));
    EXPECT_TRUE(FileExists(r + "\\ext\\sub\\y.dat"));
    EXPECT_TRUE(FileExists(r + "\\hist2\\sub\\h.htm"));
    EXPECT_EQ(m_sink.progressMax, 11);
    EXPECT_EQ(m_sink.progressSteps, 9);
}

TEST_F(Catalogue, CookiesFavoritesNewsRecentTempAndDrivesAreSweptInOrder)
{
    const std::string& r = m_root;
    const std::string d = "D:\\" + m_driveTag;
    SetOption("DeleteFavorites", 1);
    SetLocation(kLm, kIeCookies, "Directory", r + "\\iecookies");
    SetLocation(kCu, kShellFolders, "Cookie", r + "\\wincookies");
    SetLocation(kCu, kNetscape + "\\Cookies", "Cookie File", r + "\\ns3cookies.txt");
    SetLocation(kCu, kShellFolders, "Favorites", r + "\\fav");
    SetLocation(kCu, kNetscape + "\\Bookmark List", "File Location", r + "\\ns3bookmark.htm");
    const std::string ns4 = SeedNetscape4();
    SetLocation(kCu, kMailAndNews, "Store Root", r + "\\imn");
    SetLocation(kCu, kOutlookExpress, "Store Root", r + "\\oe");
    SetLocation(kCu, kShellFolders, "Recent", r + "\\recent");
    SetEnv("TEMP", r + "\\Temp");
    SetEnv("TMP", r + "\\tmpdir");
    for (const char* file : {"\\iecookies\\k.txt",
                             "\\iecookies\\sub\\l.txt",
                             "\\wincookies\\m.txt",
                             "\\wincookies\\sub\\n.txt",
                             "\\ns3cookies.txt",
                             "\\fav\\Links\\o.url",
                             "\\ns3bookmark.htm",
                             "\\ns4\\netscape.hst",
                             "\\ns4\\cookies.txt",
                             "\\ns4\\bookmark.htm",
                             "\\imn\\News\\a.nch",
                             "\\imn\\News\\b.sub",
                             "\\imn\\News\\group\\c.nch",
                             "\\imn\\News\\keep.txt",
                             "\\oe\\News\\d.nch",
                             "\\oe\\News\\sublist.dat",
                             "\\recent\\p.lnk",
                             "\\recent\\sub\\q.lnk",
                             "\\Temp\\r.txt",
                             "\\Temp\\sub\\s.txt",
                             "\\tmpdir\\t.tmp",
                             "\\tmpdir\\~u",
                             "\\tmpdir\\keep.txt"})
        Put(r + file);
    Put(d + "\\FILE0000.CHK");
    Put("D:\\Recycled\\" + m_driveTag + "\\v.txt");
    Put("D:\\Recycler\\" + m_driveTag + "\\w.txt");

    RunClean();

    EXPECT_EQ(Lowered(OwnLines()), Lowered(Lines{
                                       Deleted(ns4 + "\\netscape.hst"),
                                       Deleted(r + "\\iecookies\\k.txt"),
                                       Deleted(r + "\\iecookies\\sub\\l.txt"),
                                       Deleted(r + "\\iecookies\\sub\\"),
                                       Deleted(r + "\\wincookies\\m.txt"),
                                       Deleted(r + "\\ns3cookies.txt"),
                                       Deleted(ns4 + "\\cookies.txt"),
                                       Deleted(r + "\\fav\\Links\\o.url"),
                                       Deleted(r + "\\fav\\Links\\"),
                                       Deleted(r + "\\ns3bookmark.htm"),
                                       Deleted(ns4 + "\\bookmark.htm"),
                                       Deleted(r + "\\imn\\News\\a.nch"),
                                       Deleted(r + "\\imn\\News\\group\\c.nch"),
                                       Deleted(r + "\\imn\\News\\b.sub"),
                                       Deleted(r + "\\oe\\News\\d.nch"),
                                       Deleted(r + "\\oe\\News\\sublist.dat"),
                                       Deleted(r + "\\recent\\p.lnk"),
                                       Deleted(r + "\\Temp\\r.txt"),
                                       Deleted(r + "\\Temp\\sub\\s.txt"),
                                       Deleted(r + "\\Temp\\sub\\"),
                                       Deleted(r + "\\tmpdir\\t.tmp"),
                                       Deleted(r + "\\tmpdir\\~u"),
                                       Deleted(d + "\\FILE0000.CHK"),
                                       Deleted("D:\\Recycled\\" + m_driveTag + "\\v.txt"),
                                       Deleted("D:\\Recycled\\" + m_driveTag + "\\"),
                                       Deleted("D:\\Recycler\\" + m_driveTag + "\\w.txt"),
                                       Deleted("D:\\Recycler\\" + m_driveTag + "\\"),
                                   }));
    EXPECT_EQ(m_sink.statuses, (Lines{
                                   kStatusExtensible,
                                   "Deleting Netscape Navigator 4.x cache",
                                   "Deleting Netscape Navigator 4.x history",
                                   "Deleting Internet Explorer 3.x/4.x cookies",
                                   "Deleting Windows Cookies",
                                   "Deleting Netscape Navigator 3.x cookie file",
                                   "Deleting Netscape Navigator 4.x cookie file",
                                   "Deleting Internet Explorer 3.x/4.x Favorites",
                                   "Deleting Netscape 3.x bookmarks",
                                   "Deleting Netscape 4.x bookmarks",
                                   "Deleting newsgroup cache",
                                   "Deleting newsgroup subscriptions",
                                   "Deleting newsgroup cache",
                                   "Deleting newsgroup subscriptions",
                                   "Deleting recent Documents folder",
                                   kStatusTemp,
                                   kStatusRegistry,
                                   kStatusDone,
                               }));
    EXPECT_TRUE(FileExists(r + "\\wincookies\\sub\\n.txt"));
    EXPECT_TRUE(FileExists(r + "\\imn\\News\\keep.txt"));
    EXPECT_TRUE(FolderExists(r + "\\imn\\News\\group")); // only "*" removes subfolders
    EXPECT_TRUE(FileExists(r + "\\recent\\sub\\q.lnk"));
    EXPECT_TRUE(FileExists(r + "\\tmpdir\\keep.txt"));
    EXPECT_EQ(m_sink.progressSteps, 8);
}

TEST_F(Catalogue, UnreadableLocationsWriteOnlyTheirInfoLines)
{
    SetOption("DeleteFavorites", 1);
    RunClean();

    EXPECT_EQ(OwnLines(), (Lines{kInfoIeCookies, kInfoNetscapeCookies, kInfoFavorites, kInfoBookmarks, kInfoRecent}));
    EXPECT_EQ(m_sink.statuses, (Lines{kStatusExtensible, kStatusTemp, kStatusRegistry, kStatusDone}));
    EXPECT_EQ(m_sink.progressMax, 10);
    EXPECT_EQ(m_sink.progressSteps, 8);
}

TEST_F(Catalogue, AKeyThatCannotBeReadWritesTheInfoLinesOfAMissingValueAndTheRunGoesOn)
{
    SetOption("DeleteFavorites", 1);
    SetLocation(kCu, kShellFolders, "Recent", m_root + "\\recent");
    Put(m_root + "\\recent\\a.lnk");
    CFaultyPlatform denied;
    denied.listValuesFault = {kShellFolders, ERROR_ACCESS_DENIED};

    CCleaningEngine(m_sink, denied).Run(ReadRunOptions(CSettingsStore()));

    EXPECT_EQ(OwnLines(), (Lines{kInfoIeCookies, kInfoNetscapeCookies, kInfoFavorites, kInfoBookmarks, kInfoRecent}));
    EXPECT_TRUE(FileExists(m_root + "\\recent\\a.lnk"));
    EXPECT_EQ(m_sink.statuses.back(), kStatusDone);
}

TEST_F(Catalogue, EmptyValuesAreSkippedSilentlyAndAnEmptyStoreRootSweepsNothing)
{
    SetOption("DeleteFavorites", 1);
    for (const char* value : {"Cache", "History", "Cookie", "Favorites", "Recent"})
        SetLocation(kCu, kShellFolders, value, "");
    SetLocation(kLm, kIeMain, "Cache_Directory", "");
    SetLocation(kLm, kIeMain, "History_Directory", "");
    SetLocation(kLm, kCachePaths, "Directory", "");
    SetLocation(kLm, kUrlHistory, "Directory", "");
    SetLocation(kLm, kIeCookies, "Directory", "");
    SetLocation(kCu, kNetscape + "\\Cache", "Cache Dir", "");
    SetLocation(kCu, kNetscape + "\\History", "History File", "");
    SetLocation(kCu, kNetscape + "\\Cookies", "Cookie File", "");
    SetLocation(kCu, kNetscape + "\\Bookmark List", "File Location", "");
    SetLocation(kLm, kNetscapeUsers, "CurrentUser", "cat");
    SetLocation(kLm, kNetscapeUsers + "\\cat", "DirRoot", "");
    SetLocation(kCu, kMailAndNews, "Store Root", "");
    SetLocation(kCu, kOutlookExpress, "Store Root", "");

    RunClean();

    EXPECT_EQ(OwnLines(), Lines{});
    EXPECT_EQ(m_sink.statuses, (Lines{kStatusExtensible, "Deleting newsgroup cache", "Deleting newsgroup subscriptions",
                                      "Deleting newsgroup cache", "Deleting newsgroup subscriptions", kStatusTemp,
                                      kStatusRegistry, kStatusDone}));
    // An empty "Store Root" gives "\News\", which is not a full path: it would name a
    // folder on whatever drive is current, so it is not swept.
    for (const std::string& pattern : m_sys.searches)
        EXPECT_EQ(pattern.find(":\\News\\"), std::string::npos) << pattern;
}

TEST_F(Catalogue, PlacesOf32BitBrowsersAndTheShellsCookiesFolderAreFound)
{
    // Recorded by a 32-bit browser on 64-bit Windows: the 32-bit view comes first.
    SetLocation(kLm, Wow64Key(kIeMain), "Cache_Directory", m_root + "\\ie2");
    SetLocation(kLm, Wow64Key(kUrlHistory), "Directory", m_root + "\\hist32");
    SetLocation(kLm, kUrlHistory, "Directory", m_root + "\\hist64");
    // The shell names its cookie folder "Cookies".
    SetLocation(kCu, kShellFolders, "Cookies", m_root + "\\cookies");
    for (const char* file : {"\\ie2\\a.htm", "\\hist32\\b.htm", "\\hist64\\c.htm", "\\cookies\\d.txt"})
        Put(m_root + file);

    RunClean();

    EXPECT_EQ(OwnLines(), (Lines{Deleted(m_root + "\\ie2\\a.htm"), Deleted(m_root + "\\hist32\\b.htm"), kInfoIeCookies,
                                 Deleted(m_root + "\\cookies\\d.txt"), kInfoNetscapeCookies, kInfoRecent}));
    EXPECT_TRUE(FileExists(m_root + "\\hist64\\c.htm"));
}

TEST_F(Catalogue, OptionsOffSkipTheirPlacesButKeepTheSteps)
{
    SetOption("DeleteCookies", 0);
    SetOption("DeleteNewsgroupSubscriptions", 0);
    SetLocation(kCu, kShellFolders, "Cookie", m_root + "\\cookies");
    SetLocation(kCu, kShellFolders, "Favorites", m_root + "\\fav");
    SetLocation(kCu, kMailAndNews, "Store Root", m_root + "\\imn");
    Put(m_root + "\\cookies\\a.txt");
    Put(m_root + "\\fav\\b.url");
    Put(m_root + "\\imn\\News\\c.nch");
    Put(m_root + "\\imn\\News\\d.sub");

    RunClean();

    EXPECT_EQ(OwnLines(), (Lines{Deleted(m_root + "\\imn\\News\\c.nch"), kInfoRecent}));
    EXPECT_EQ(m_sink.statuses,
              (Lines{kStatusExtensible, "Deleting newsgroup cache", kStatusTemp, kStatusRegistry, kStatusDone}));
    EXPECT_TRUE(FileExists(m_root + "\\cookies\\a.txt"));
    EXPECT_TRUE(FileExists(m_root + "\\fav\\b.url"));
    EXPECT_TRUE(FileExists(m_root + "\\imn\\News\\d.sub"));
    EXPECT_EQ(m_sink.progressSteps, 8);
}

TEST_F(Catalogue, AMissingNumberedCacheWritesItsInfoLineAndStillTakesItsStep)
{
    m_registry.SetDword(kLm, kCachePaths, "Paths", 3);
    SetLocation(kLm, kCachePaths + "\\Path1", "CachePath", m_root + "\\c1");
    SetLocation(kLm, kCachePaths + "\\Path3", "CachePath", m_root + "\\c3");
    Put(m_root + "\\c1\\a.htm");
    Put(m_root + "\\c3\\sub\\b.htm");

    RunClean();

    const Lines lines = OwnLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4),
              (Lines{Deleted(m_root + "\\c1\\a.htm"), "INFO: Unable to read directory for cache 2 from the registry",
                     Deleted(m_root + "\\c3\\sub\\b.htm"), Deleted(m_root + "\\c3\\sub\\")}));
    EXPECT_EQ(std::count(m_sink.statuses.begin(), m_sink.statuses.end(), "Deleting Internet Explorer 3.x/4.x cache"),
              2);
    EXPECT_EQ(m_sink.progressMax, 13);
    EXPECT_EQ(m_sink.progressSteps, 11);
}

// A stop requested at the end of group N: the groups after it do no work, and of the
// progress steps ahead only those of groups 3, 4 and 5 are still taken.
struct StopCase {
    int afterGroup; // 0: before group 1
    int steps;
};

class CatalogueStop : public Catalogue, public ::testing::WithParamInterface<StopCase> {};

TEST_P(CatalogueStop, NothingAfterTheStopIsVisited)
{
    // One recognisable place in every group; group 2 has one cache, so step N is group N's.
    const std::string& r = m_root;
    SetOption("DeleteFavorites", 1);
    m_registry.SetDword(kLm, kCachePaths, "Paths", 1);
    SetLocation(kLm, kCachePaths + "\\Path1", "CachePath", r + "\\cache1");
    SetLocation(kCu, kShellFolders, "History", r + "\\history");
    SetLocation(kCu, kShellFolders, "Cookie", r + "\\cookies");
    SetLocation(kCu, kShellFolders, "Favorites", r + "\\favorites");
    SetLocation(kCu, kMailAndNews, "Store Root", r + "\\imn");
    SetLocation(kCu, kShellFolders, "Recent", r + "\\recent");
    const std::vector<Lines> groupStatuses = {
        {kStatusExtensible},
        {"Deleting Internet Explorer 3.x/4.x cache"},
        {"Deleting Windows History cache"},
        {"Deleting Windows Cookies"},
        {"Deleting Internet Explorer 3.x/4.x Favorites"},
        {"Deleting newsgroup cache", "Deleting newsgroup subscriptions"},
        {"Deleting recent Documents folder"},
        {kStatusTemp},
        {}, // group 9 shows no status
    };
    const StopCase stop = GetParam();
    testenv::MakeFolder("D:\\Recycled");
    if (stop.afterGroup == 0)
        m_sink.onLine = [](const std::string&) { g_stopFlag = 1; }; // the start line
    else
        m_sink.stopAtStep = stop.afterGroup;

    RunClean();

    Lines expected;
    for (int group = 0; group < stop.afterGroup; ++group)
        expected.insert(expected.end(), groupStatuses[group].begin(), groupStatuses[group].end());
    expected.push_back(kStatusCancelled);
    EXPECT_EQ(m_sink.statuses, expected);
    EXPECT_EQ(m_sink.progressSteps, stop.steps);
    EXPECT_EQ(m_sink.Lines().back(), "Purgix! cancelled by user.");
    // Group 9's own search of D:\Recycled\, apart from the lost-cluster search passing through it.
    const auto exactly = [&](const std::string& pattern) {
        return std::count_if(m_sys.searches.begin(), m_sys.searches.end(),
                             [&](const std::string& s) { return SameIgnoringAsciiCase(s, pattern); });
    };
    EXPECT_EQ(exactly("D:\\Recycled\\*") - exactly("D:\\Recycled\\file*.chk"), stop.afterGroup < 9 ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(BeforeEachGroup, CatalogueStop,
                         ::testing::Values(StopCase{0, 4}, StopCase{1, 4}, StopCase{2, 5}, StopCase{3, 5},
                                           StopCase{4, 5}, StopCase{5, 5}, StopCase{6, 6}, StopCase{7, 7},
                                           StopCase{8, 8}, StopCase{9, 9}),
                         [](const auto& info) { return "AfterGroup" + std::to_string(info.param.afterGroup); });

TEST_F(Catalogue, SubscriptionsFollowTheirCacheWithoutAStopTestOfTheirOwn)
{
    SetLocation(kCu, kMailAndNews, "Store Root", m_root + "\\imn");
    SetLocation(kCu, kOutlookExpress, "Store Root", m_root + "\\oe");
    Put(m_root + "\\imn\\News\\a.sub");
    Put(m_root + "\\oe\\News\\b.nch");
    m_sink.stopAtStatus = "Deleting newsgroup cache";

    RunClean();

    // The subscriptions place is begun, and its sweep ends before its first file.
    const Lines statuses(m_sink.statuses.end() - 3, m_sink.statuses.end());
    EXPECT_EQ(statuses, (Lines{"Deleting newsgroup cache", "Deleting newsgroup subscriptions", kStatusCancelled}));
    EXPECT_EQ(m_sys.SearchesUnder(m_root + "\\imn\\News\\*.sub").size(), 1u);
    EXPECT_TRUE(FileExists(m_root + "\\imn\\News\\a.sub"));
    EXPECT_EQ(m_sys.SearchesUnder(m_root + "\\oe\\"), Lines{});
    EXPECT_EQ(m_sink.progressSteps, 4); // groups 1, 3, 4 and 5; group 6 lost its second store
}

// The TEMP rule: a folder named "...\temp" is swept whole, anything else only of its
// "*.tmp" and "~*" files.
struct TempCase {
    const char* name;
    std::string (*value)(const std::string& folder); // the TEMP text for the seeded folder
    std::string (*folder)(const std::string& root);  // the seeded folder
    bool whole;
};

class CatalogueTemp : public Catalogue, public ::testing::WithParamInterface<TempCase> {
protected:
    void SetUp() override
    {
        Catalogue::SetUp();
        wchar_t current[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, current);
        m_savedCurrent = current;
        SetCurrentDirectoryW(L"C:\\"); // "\temp" names C:\temp
    }
    void TearDown() override
    {
        SetCurrentDirectoryW(m_savedCurrent.c_str());
        std::error_code ignored;
        std::filesystem::remove_all(L"C:\\temp", ignored);
        Catalogue::TearDown();
    }
    std::wstring m_savedCurrent;
};

TEST_P(CatalogueTemp, SweepsTheFolderWholeOrOnlyItsTemporaryFiles)
{
    const TempCase& c = GetParam();
    const std::string folder = c.folder(m_root);
    for (const char* file : {"\\a.tmp", "\\~b", "\\keep.txt", "\\sub\\c.tmp"})
        Put(folder + file);
    SetEnv("TEMP", c.value(folder));

    RunClean();

    EXPECT_FALSE(FileExists(folder + "\\a.tmp"));
    EXPECT_FALSE(FileExists(folder + "\\~b"));
    EXPECT_EQ(FileExists(folder + "\\keep.txt"), !c.whole);
    EXPECT_EQ(FileExists(folder + "\\sub\\c.tmp"), !c.whole);
    EXPECT_TRUE(FolderExists(folder));
}

std::string Same(const std::string& folder)
{
    return folder;
}
std::string WithBackslash(const std::string& folder)
{
    return folder + "\\";
}
std::string WindowsTemp(const std::string& root)
{
    return root + "\\WINDOWS\\TEMP";
}
std::string PlainTmp(const std::string& root)
{
    return root + "\\TMP";
}
std::string DriveTemp(const std::string&)
{
    return "C:\\temp";
}

INSTANTIATE_TEST_SUITE_P(Variants, CatalogueTemp,
                         ::testing::Values(TempCase{"WindowsTemp", Same, WindowsTemp, true},
                                           TempCase{"Tmp", Same, PlainTmp, false},
                                           TempCase{"SevenCharacters", Same, DriveTemp, true},
                                           TempCase{"TrailingBackslash", WithBackslash, WindowsTemp, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CatalogueTemp, ATempThatIsNotAFullPathIsNotSwept)
{
    // "\temp" names C:\temp only while C:\ is the current folder; TMP is absent.
    for (const char* file : {"\\a.tmp", "\\keep.txt"})
        Put("C:\\temp" + std::string(file));
    SetEnv("TEMP", "\\temp");

    RunClean();

    EXPECT_TRUE(FileExists("C:\\temp\\a.tmp"));
    EXPECT_TRUE(FileExists("C:\\temp\\keep.txt"));
}

TEST_F(Catalogue, TmpNamingTheSameFolderAsTempIsSweptOnce)
{
    testenv::MakeFolder(m_root + "\\TMP");
    SetEnv("TEMP", m_root + "\\TMP");
    SetEnv("TMP", m_root + "\\tmp"); // the same folder, spelled otherwise
    RunClean();
    EXPECT_EQ(m_sys.SearchesUnder(m_root + "\\TMP\\"), (Lines{m_root + "\\TMP\\*.tmp", m_root + "\\TMP\\~*"}));
}

TEST_F(Catalogue, OnlyFixedDrivesAreSearchedForLostClustersAndRecycleFolders)
{
    const std::string tag = "\\" + m_driveTag;
    Put("D:" + tag + "\\FILE0001.CHK");
    Put("E:" + tag + "\\FILE0002.CHK"); // removable
    Put("E:\\Recycled" + tag + "\\a.txt");
    Put("D:\\Recycled" + tag + "\\b.txt");
    Put("D:\\Recycler" + tag + "\\c.txt");

    RunClean();

    EXPECT_FALSE(FileExists("D:\\Recycled" + tag + "\\b.txt"));
    EXPECT_FALSE(FileExists("D:\\Recycler" + tag + "\\c.txt"));
    EXPECT_FALSE(FileExists("D:" + tag + "\\FILE0001.CHK"));
    EXPECT_TRUE(FileExists("E:" + tag + "\\FILE0002.CHK"));
    EXPECT_TRUE(FileExists("E:\\Recycled" + tag + "\\a.txt"));
    // C: is a network drive here, E: removable, F: and P: CD-ROM drives.
    for (const char* passedOver : {"C:\\file", "C:\\Recycle", "E:", "F:", "P:"})
        EXPECT_EQ(m_sys.SearchesUnder(passedOver), Lines{}) << passedOver;
    const Lines d = Lowered(m_sys.SearchesUnder("D:\\"));
    for (const char* searched : {"d:\\file*.chk", "d:\\recycled\\*", "d:\\recycler\\*"})
        EXPECT_NE(std::find(d.begin(), d.end(), searched), d.end()) << searched;
    std::error_code ignored;
    std::filesystem::remove_all(L"E:" + Widen(tag), ignored);
    std::filesystem::remove_all(L"E:\\Recycled", ignored);
}

TEST_F(Catalogue, ADriveThatIsTheHostsRootIsNeverSearched)
{
    m_sys.hostRootDrive = "d:\\";
    Put("D:\\" + m_driveTag + "\\FILE0003.CHK");

    RunClean();

    EXPECT_TRUE(FileExists("D:\\" + m_driveTag + "\\FILE0003.CHK"));
    EXPECT_EQ(m_sys.SearchesUnder("D:"), Lines{});
}

TEST_F(Catalogue, ALocationNamingTheWindowsFolderIsNeverSweptWhole)
{
    const std::string windows = Platform().WindowsDirectory();
    const std::string probe = windows + "\\purgix-catalogue-probe.txt";
    Put(probe);
    SetLocation(kCu, kShellFolders, "Cache", windows);
    m_sys.refuseUnder = windows + "\\";

    RunClean();

    const bool kept = FileExists(probe);
    DeleteFileW(Widen(probe).c_str());
    EXPECT_TRUE(kept);
    // The flat "*.tmp" and "~*" sweeps of group 8 may look there; nothing may try to remove.
    EXPECT_EQ(m_sys.refusedChanges, 0);
    const Lines lines = OwnLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("INFO: " + windows, 0), 0u) << lines.front();
}

} // namespace
