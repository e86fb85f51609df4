// Cookies and per-site storage of a Chromium and a Firefox profile cleaned with a keep list:
// the kept sites' rows and folders stay, the preview counts what the clean removes.
#include "engine/browsers/CookieCleaning.h"
#include "engine/browsers/CookieSites.h"
#include "engine/run/CleaningEngine.h"
#include "support/FixtureDatabase.h"
#include "support/RecordingSink.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

struct CookieStore {
    const char* browser;
    unsigned schema;
    const char* table;
    const char* hostColumn;
    DatabaseCounts (*clean)(CSqliteDatabase&, const CKeepList&, bool);
    // One cookie row for a host, its name the row's number.
    std::string (*row)(const std::string& host, int number);
};

std::string ChromiumRow(const std::string& host, int number)
{
    return "INSERT INTO cookies VALUES (13340000000000000, '" + host + "', '', 'c" + std::to_string(number) +
           "', 'v', x'', '/', 13400000000000000, 1, 0, 13340000000000000, 1, 1, 1, 0, 2, 443, 13340000000000000, "
           "0, 0);";
}

std::string FirefoxRow(const std::string& host, int number)
{
    return "INSERT INTO moz_cookies (name, value, host, path, expiry, lastAccessed, creationTime, isSecure, "
           "isHttpOnly) VALUES ('c" +
           std::to_string(number) + "', 'v', '" + host +
           "', '/', 1900000000, 1700000000000000, 1700000000000000, 1, 0);";
}

const CookieStore kStores[] = {
    {"Chromium", IDR_FIXTURE_CHROMIUM_COOKIES, "cookies", "host_key", CleanChromiumCookies, ChromiumRow},
    {"Firefox", IDR_FIXTURE_FIREFOX_COOKIES, "moz_cookies", "host", CleanFirefoxCookies, FirefoxRow},
};

} // namespace

TEST(CookieCleaning, KeptSitesAndTheirSubdomainsStayThePreviewCountsWhatTheCleanRemoves)
{
    const std::vector<std::string> hosts = {
        "example.com",  ".example.com", ".mail.example.com", "badexample.com",   ".tracker.net",
        ".tracker.net", "localhost",    "127.0.0.1",         ".ads.example.org",
    };
    const std::vector<std::string> kept = {".example.com", ".mail.example.com", "example.com", "localhost"};
    for (const CookieStore& store : kStores) {
        SCOPED_TRACE(store.browser);
        const std::string path = testenv::FreshFolder() + "\\cookies.sqlite";
        std::string rows;
        for (std::size_t i = 0; i < hosts.size(); ++i)
            rows += store.row(hosts[i], static_cast<int>(i));
        CreateFixtureDatabase(path, store.schema, rows);
        const std::string before = testenv::ReadFile(path);
        const CKeepList keep({"Example.com", "localhost"});
        const std::string remaining =
            std::string("SELECT ") + store.hostColumn + " FROM " + store.table + " ORDER BY 1";

        for (const bool preview : {true, false}) {
            CSqliteDatabase db(path, preview);
            const DatabaseCounts counts = store.clean(db, keep, preview);
            EXPECT_EQ(counts.removed, 5) << preview;
            EXPECT_EQ(counts.kept, 4) << preview;
            if (preview) {
                EXPECT_EQ(testenv::ReadFile(path), before);
            }
        }
        EXPECT_EQ(QueryTexts(path, remaining), kept);

        // Nothing kept: every cookie goes.
        CSqliteDatabase db(path);
        EXPECT_EQ(store.clean(db, CKeepList({}), false).removed, 4);
        EXPECT_TRUE(QueryTexts(path, remaining).empty());
    }
}

TEST(CookieCleaning, AStoreWithoutTheHostColumnIsNotUnderstoodAndNotChanged)
{
    for (const CookieStore& store : kStores) {
        SCOPED_TRACE(store.browser);
        const std::string path = testenv::FreshFolder() + "\\cookies.sqlite";
        CreateFixtureDatabase(path, store.schema, store.row(".tracker.net", 1));
        {
            // A newer schema that renamed the column.
            CSqliteDatabase db(path);
            db.Exec((std::string("ALTER TABLE ") + store.table + " RENAME COLUMN " + store.hostColumn + " TO site")
                        .c_str());
        }
        const std::string before = testenv::ReadFile(path);
        CSqliteDatabase db(path);
        EXPECT_THROW(store.clean(db, CKeepList({}), false), CUnknownSchema);
        EXPECT_EQ(testenv::ReadFile(path), before);
    }
}

TEST(CookieCleaning, SiteStorageOfSitesNotKeptGoesThroughTheRunsRemoval)
{
    const std::string root = testenv::FreshFolder();
    const std::string chrome = root + "\\Chrome\\Default";
    const std::string firefox = root + "\\Firefox\\abcd.default-release";
    const std::vector<std::string> folders = {
        chrome + "\\IndexedDB\\https_www.example.com_0.indexeddb.leveldb",
        chrome + "\\IndexedDB\\https_tracker.net_0.indexeddb.leveldb",
        chrome + "\\IndexedDB\\https_tracker.net_0.indexeddb.blob",
        chrome + "\\IndexedDB\\http_localhost_3000.indexeddb.leveldb",
        chrome + "\\IndexedDB\\chrome-extension_abcdefgh_0.indexeddb.leveldb",
        chrome + "\\Local Storage\\leveldb",
        firefox + "\\storage\\default\\https+++example.com",
        firefox + "\\storage\\default\\https+++badexample.com+8443",
        firefox + "\\storage\\default\\https+++tracker.net^userContextId=2",
        firefox + "\\storage\\default\\moz-extension+++0b1c2d3e",
    };
    for (const std::string& folder : folders)
        testenv::WriteFile(folder + "\\000003.log", "data");

    CRecordingSink sink;
    CCleaningEngine engine(sink);
    const CKeepList keep({"example.com", "localhost"});
    CleanSiteStorage(engine, {"Google Chrome", "Chrome", BrowserFamily::Chromium, chrome, "", ""}, keep);
    CleanSiteStorage(engine, {"Mozilla Firefox", "Firefox", BrowserFamily::Firefox, firefox, "", ""}, keep);

    const std::vector<bool> stays = {true, false, false, true, true, true, true, false, false, true};
    for (std::size_t i = 0; i < folders.size(); ++i)
        EXPECT_EQ(testenv::FolderExists(folders[i]), stays[i]) << folders[i];
    EXPECT_NE(sink.report.find(chrome + "\\IndexedDB\\https_tracker.net_0.indexeddb.blob\\000003.log"),
              std::string::npos);

    // With no site kept, the store that mixes every site goes too.
    CleanSiteStorage(engine, {"Google Chrome", "Chrome", BrowserFamily::Chromium, chrome, "", ""}, CKeepList({}));
    EXPECT_FALSE(testenv::FolderExists(chrome + "\\Local Storage\\leveldb"));
    EXPECT_FALSE(testenv::FolderExists(folders[0]));
    EXPECT_TRUE(testenv::FolderExists(folders[4]));
}

TEST(CookieCleaning, TheSitesFoundAddUpAcrossStoresAndAStoreThatCannotBeReadIsPassedOver)
{
    const std::string root = testenv::FreshFolder();
    CreateFixtureDatabase(root + "\\Cookies", IDR_FIXTURE_CHROMIUM_COOKIES,
                          ChromiumRow(".example.com", 1) + ChromiumRow("WWW.example.com", 2) + ChromiumRow("[::1]", 3) +
                              ChromiumRow("localhost", 4));
    CreateFixtureDatabase(root + "\\cookies.sqlite", IDR_FIXTURE_FIREFOX_COOKIES,
                          FirefoxRow(".example.com", 1) + FirefoxRow("::1", 2) + FirefoxRow("tracker.net", 3));
    testenv::WriteFile(root + "\\damaged", std::string(4096, 'x'));
    const std::string before = testenv::ReadFile(root + "\\Cookies");

    std::map<std::string, std::int64_t> sites;
    EXPECT_TRUE(AddCookieSites(root + "\\Cookies", BrowserFamily::Chromium, sites));
    EXPECT_TRUE(AddCookieSites(root + "\\cookies.sqlite", BrowserFamily::Firefox, sites));
    EXPECT_FALSE(AddCookieSites(root + "\\damaged", BrowserFamily::Firefox, sites));
    EXPECT_FALSE(AddCookieSites(root + "\\cookies.sqlite", BrowserFamily::Chromium, sites));
    EXPECT_FALSE(AddCookieSites(root + "\\absent", BrowserFamily::Chromium, sites));

    const std::map<std::string, std::int64_t> expected = {
        {"::1", 2}, {"example.com", 2}, {"localhost", 1}, {"tracker.net", 1}, {"www.example.com", 1}};
    EXPECT_EQ(sites, expected);
    EXPECT_EQ(testenv::ReadFile(root + "\\Cookies"), before);
    EXPECT_FALSE(testenv::FileExists(root + "\\absent"));
}
