// Browser databases cleaned inside through the run: Firefox history with its bookmarks
// kept, form history, a profile in use, databases left byte for byte, and the preview.
#include "cli/JsonLines.h"
#include "engine/browsers/BrowserDatabases.h"
#include "engine/browsers/BrowserText.h"
#include "engine/rules/RuleFile.h"
#include "resource.h"
#include "engine/run/CleaningEngine.h"
#include "support/FixtureDatabase.h"
#include "support/HeldFile.h"
#include "support/RecordingSink.h"
#include "support/TestEnv.h"
#include "sys/Utf8.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <optional>

namespace {

using testenv::ReadFile;
using testenv::WriteFile;

// The test's profiles, with the programs' own lock test.
class CTestProfiles : public IProfileSource {
public:
    std::vector<BrowserProfile> Profiles() override { return profiles; }
    bool InUse(const BrowserProfile& profile) override { return ProfileInUse(Platform(), profile); }

    std::vector<BrowserProfile> profiles;
};

// A fixture database made afresh at the path: the schema and its rows, then `sql`.
void Build(const std::string& path, unsigned schemaId, const std::string& sql = {})
{
    ::DeleteFileW(Widen(path).c_str());
    CreateFixtureDatabase(path, schemaId, sql);
}

// The rows a query gives, one a line.
std::string Rows(const std::string& path, const std::string& sql)
{
    std::string rows;
    for (const std::string& row : QueryTexts(path, sql))
        rows += row + "\n";
    return rows;
}

// The bytes of the file and of its WAL and journal, if there are any.
std::string BytesWithCompanions(const std::string& path)
{
    std::string bytes;
    for (const char* suffix : {"", "-wal", "-journal"}) {
        if (testenv::FileExists(path + suffix))
            bytes += ReadFile(path + suffix);
    }
    return bytes;
}

// Pages only the history knew: none may be left anywhere in the files.
const char* const kRemovedTraces[] = {"news.example.net", "shop.example.com",     "secret-visit-1",
                                      "private-thing",    "private search terms", "newsroom-icon"};

class BrowserDatabases : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_profile = {"Mozilla Firefox", "Firefox", BrowserFamily::Firefox, testenv::FreshFolder(), "", ""};
        m_profile.lockFile = m_profile.profileDir + "\\parent.lock";
        WriteFile(m_profile.lockFile, "");
        m_places = m_profile.profileDir + "\\places.sqlite";
        m_favicons = m_profile.profileDir + "\\favicons.sqlite";
        m_formHistory = m_profile.profileDir + "\\formhistory.sqlite";
        Build(m_places, IDR_FIXTURE_FIREFOX_PLACES);
        Build(m_favicons, IDR_FIXTURE_FIREFOX_FAVICONS);
        Build(m_formHistory, IDR_FIXTURE_FIREFOX_FORMHISTORY);
        m_profiles.profiles = {m_profile};
    }

    // The database entries named, in one run of the engine; returns the lines it reported.
    std::vector<std::string> Clean(std::initializer_list<const char*> targets, bool preview = false,
                                   std::optional<std::vector<std::string>> keepSites = std::vector<std::string>{})
    {
        const std::size_t earlier = m_sink.Lines().size();
        CCleaningEngine engine(m_sink);
        RunOptions options;
        options.preview = preview;
        options.keepSites = std::move(keepSites);
        engine.UseOptions(options);
        engine.UseProfiles(m_profiles);
        for (const char* target : targets)
            engine.CleanBrowserDatabases("Entry", target);
        m_tally = engine.Tally();
        const std::vector<std::string> lines = m_sink.Lines();
        return {lines.begin() + static_cast<std::ptrdiff_t>(earlier), lines.end()};
    }

    std::string Bytes() const
    {
        return BytesWithCompanions(m_places) + BytesWithCompanions(m_favicons) + BytesWithCompanions(m_formHistory);
    }

    BrowserProfile m_profile;
    CTestProfiles m_profiles;
    std::string m_places;
    std::string m_favicons;
    std::string m_formHistory;
    CRecordingSink m_sink;
    RunTally m_tally;
};

constexpr const char* kBookmarkTree =
    "SELECT json_array(id, type, fk, parent, position, title, guid) FROM moz_bookmarks ORDER BY id";
// The icons of the two bookmarked pages.
constexpr const char* kBookmarkIcons =
    "SELECT json_array(p.page_url, i.icon_url, hex(i.data)) FROM moz_pages_w_icons p"
    " JOIN moz_icons_to_pages ip ON ip.page_id = p.id JOIN moz_icons i ON i.id = ip.icon_id"
    " WHERE p.page_url IN ('https://www.mozilla.org/firefox/', 'https://developer.example.org/docs') ORDER BY p.id";

TEST_F(BrowserDatabases, FirefoxHistoryGoesBookmarksTheirTreeAndTheirIconsStayAndNoRemovedPageIsLeftInTheFiles)
{
    // A bookmarked page whose reference count went wrong is still a bookmarked page.
    Build(m_places, IDR_FIXTURE_FIREFOX_PLACES, "UPDATE moz_places SET foreign_count = 0 WHERE id = 5");
    const std::string tree = Rows(m_places, kBookmarkTree);
    const std::string keywords =
        Rows(m_places, "SELECT json_array(id, keyword, place_id, post_data) FROM moz_keywords");
    const std::string bookmarkIcons = Rows(m_favicons, kBookmarkIcons);

    EXPECT_EQ(Clean({"Mozilla Firefox|history"}),
              std::vector<std::string>{m_places + " - 7 history entries removed (2 bookmarks kept)"});

    EXPECT_EQ(Rows(m_places, kBookmarkTree), tree);
    EXPECT_EQ(Rows(m_places, "SELECT json_array(id, keyword, place_id, post_data) FROM moz_keywords"), keywords);
    EXPECT_EQ(Rows(m_places, "SELECT json_array(id, visit_count, last_visit_date, typed) FROM moz_places"),
              "[1,0,null,0]\n[4,0,null,0]\n[5,0,null,0]\n");
    EXPECT_EQ(Rows(m_places, "SELECT (SELECT count(*) FROM moz_historyvisits) + (SELECT count(*) FROM "
                             "moz_inputhistory) + (SELECT count(*) FROM moz_places_metadata) + (SELECT "
                             "count(*) FROM moz_annos)"),
              "0\n");
    EXPECT_EQ(Rows(m_places, "SELECT host FROM moz_origins ORDER BY id"), "www.mozilla.org\ndeveloper.example.org\n");
    // The bookmarked pages keep their icons; the kept site keeps its root icon.
    EXPECT_EQ(Rows(m_favicons, kBookmarkIcons), bookmarkIcons);
    EXPECT_EQ(Rows(m_favicons, "SELECT id FROM moz_icons ORDER BY id"), "1\n4\n5\n");
    EXPECT_EQ(Rows(m_favicons, "SELECT page_url FROM moz_pages_w_icons ORDER BY id"),
              "https://www.mozilla.org/firefox/\nhttps://developer.example.org/docs\n");

    const std::string bytes = BytesWithCompanions(m_places) + BytesWithCompanions(m_favicons);
    for (const char* trace : kRemovedTraces)
        EXPECT_EQ(bytes.find(trace), std::string::npos) << trace;
}

TEST_F(BrowserDatabases, FormHistoryGoesWithThePagesItWasTypedIn)
{
    EXPECT_EQ(Clean({"Mozilla Firefox|formhistory"}),
              std::vector<std::string>{m_formHistory + " - 3 form history entries removed"});

    EXPECT_EQ(Rows(m_formHistory, "SELECT (SELECT count(*) FROM moz_formhistory) + (SELECT count(*) FROM "
                                  "moz_sources) + (SELECT count(*) FROM moz_history_to_sources)"),
              "0\n");
    const std::string bytes = BytesWithCompanions(m_formHistory);
    for (const char* trace : {"symptoms of something private", "someone@example.net", "shop.example.com"})
        EXPECT_EQ(bytes.find(trace), std::string::npos) << trace;
}

TEST_F(BrowserDatabases, ThePreviewCountsWhatTheCleanThenRemovesAndChangesNoByte)
{
    const std::string before = Bytes();

    const std::vector<std::string> preview = Clean({"Mozilla Firefox|history", "Mozilla Firefox|formhistory"}, true);
    EXPECT_EQ(Bytes(), before);
    const std::vector<std::string> clean = Clean({"Mozilla Firefox|history", "Mozilla Firefox|formhistory"});

    EXPECT_EQ(preview, (std::vector<std::string>{m_places + " - 7 history entries would be removed (2 bookmarks kept)",
                                                 m_formHistory + " - 3 form history entries would be removed"}));
    EXPECT_EQ(clean, (std::vector<std::string>{m_places + " - 7 history entries removed (2 bookmarks kept)",
                                               m_formHistory + " - 3 form history entries removed"}));
    // The console's objects for the database carry the same counts.
    ASSERT_EQ(m_sink.items.size(), 4u);
    EXPECT_EQ(ItemJson(m_sink.items[0], true), "{\"action\":\"would_remove_rows\",\"path\":" + JsonString(m_places) +
                                                   ",\"removed\":7,\"kept\":2,\"bytes\":0}");
    EXPECT_EQ(ItemJson(m_sink.items[2], false)
                  .find("{\"action\":\"rows_removed\",\"path\":" + JsonString(m_places) +
                        ",\"removed\":7,\"kept\":2,\"bytes\":"),
              0u);
}

// What the run does while the browser has the profile, and how the user answers.
enum class Holder { None, LockFile, Database };

struct InUseCase {
    const char* name;
    Holder holder;                // what the open browser holds: its lock file, or the database's write lock
    std::vector<bool> retries;    // the answers, Retry: true
    bool browserClosesOnQuestion; // the user closes the browser before answering
    bool cleaned;
    std::size_t questions;
};

class BrowserInUse : public BrowserDatabases, public ::testing::WithParamInterface<InUseCase> {};

TEST_P(BrowserInUse, IsAskedAboutOncePerBrowserAndLeavesItsDataByteForByteUnlessClosed)
{
    const InUseCase& c = GetParam();
    std::optional<CHeldFile> lock;
    if (c.holder == Holder::LockFile)
        lock.emplace(m_profile.lockFile);
    // A second connection that holds the write lock, as the browser's own does.
    sqlite3* browser = nullptr;
    if (c.holder == Holder::Database) {
        ASSERT_EQ(sqlite3_open_v2(m_places.c_str(), &browser, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(browser, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    const auto closeBrowser = [&] {
        lock.reset();
        if (browser)
            sqlite3_exec(browser, "ROLLBACK", nullptr, nullptr, nullptr);
    };
    m_sink.retries.assign(c.retries.begin(), c.retries.end());
    if (c.browserClosesOnQuestion)
        m_sink.onRetryQuestion = closeBrowser;
    const std::string before = BytesWithCompanions(m_places);

    const std::vector<std::string> lines = Clean({"Mozilla Firefox|history", "Mozilla Firefox|formhistory"});
    closeBrowser();
    sqlite3_close(browser);

    EXPECT_EQ(m_sink.retryQuestions.size(), c.questions);
    for (const std::string& question : m_sink.retryQuestions)
        EXPECT_EQ(question, "Firefox is open. Close it and press Retry, or press Skip to leave its data this time.");
    ASSERT_EQ(lines.size(), 2u);
    if (c.cleaned) {
        EXPECT_EQ(lines[0], m_places + " - 7 history entries removed (2 bookmarks kept)");
        EXPECT_EQ(m_tally.failures, 0);
    } else {
        EXPECT_EQ(lines[0], "INFO: Firefox has " + m_places + " open, so it was left as it was");
        EXPECT_EQ(BytesWithCompanions(m_places), before);
        EXPECT_GE(m_tally.failures, 1); // the console ends with exit code 1
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, BrowserInUse,
    ::testing::Values(InUseCase{"LockHeldRetryAfterClosing", Holder::LockFile, {true}, true, true, 1},
                      InUseCase{"DatabaseBusySkip", Holder::Database, {}, false, false, 1},
                      InUseCase{"DatabaseBusyRetryAfterClosing", Holder::Database, {true}, true, true, 1},
                      InUseCase{"BrowserClosed", Holder::None, {}, false, true, 0}),
    [](const ::testing::TestParamInfo<InUseCase>& info) { return std::string(info.param.name); });

// Databases the run cannot understand, each made from the real one.
struct LeftCase {
    const char* name;
    std::function<void(const std::string& places)> spoil;
    const char* why;
};

class DatabaseLeftAsItWas : public BrowserDatabases, public ::testing::WithParamInterface<LeftCase> {};

TEST_P(DatabaseLeftAsItWas, ByteForByteWithAnInfoLine)
{
    GetParam().spoil(m_places);
    const std::string before = BytesWithCompanions(m_places);

    const std::vector<std::string> lines = Clean({"Mozilla Firefox|history"});

    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "INFO: " + m_places + GetParam().why + ", so it was left as it was");
    EXPECT_EQ(BytesWithCompanions(m_places), before);
    EXPECT_TRUE(testenv::FileExists(m_places));
}

void Overwrite(const std::string& path, std::size_t offset, const std::string& bytes)
{
    std::string contents = ReadFile(path);
    contents.replace(offset, bytes.size(), bytes);
    WriteFile(path, contents);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DatabaseLeftAsItWas,
    ::testing::Values(
        LeftCase{"Corrupt", [](const std::string& p) { Overwrite(p, 2 * 32768, std::string(200, '\xFF')); },
                 " is damaged, encrypted or not a database"},
        LeftCase{"Encrypted", [](const std::string& p) { Overwrite(p, 0, "\x5e\x91\x0c\x77 encrypted page one..."); },
                 " is damaged, encrypted or not a database"},
        LeftCase{"NewerSchema",
                 [](const std::string& p) {
                     Build(p, IDR_FIXTURE_FIREFOX_PLACES, "ALTER TABLE moz_places DROP COLUMN foreign_count");
                 },
                 " has tables or columns this version does not know"},
        LeftCase{"FailsHalfway",
                 [](const std::string& p) {
                     // A trigger that needs one of Firefox's own functions.
                     Build(p, IDR_FIXTURE_FIREFOX_PLACES,
                           "CREATE TRIGGER moz_places_gone AFTER DELETE ON moz_places BEGIN "
                           "SELECT fixup_url(OLD.url); END");
                 },
                 " could not be changed (no such function: fixup_url)"}),
    [](const ::testing::TestParamInfo<LeftCase>& info) { return std::string(info.param.name); });

TEST_F(BrowserDatabases, CookiesKeepTheKeptSitesAndAreLeftWholeWhenTheListCannotBeRead)
{
    const std::string cookies = m_profile.profileDir + "\\cookies.sqlite";
    Build(cookies, IDR_FIXTURE_FIREFOX_COOKIES,
          "INSERT INTO moz_cookies (name, value, host, path) VALUES ('a', '1', '.example.com', '/'),"
          " ('b', '2', 'mail.example.com', '/'), ('c', '3', '.tracker.example.net', '/')");
    const std::string before = BytesWithCompanions(cookies);

    // Never an empty list in place of one that cannot be read: nothing goes, and it counts.
    EXPECT_EQ(
        Clean({"Mozilla Firefox|cookies"}, false, std::nullopt),
        std::vector<std::string>{"INFO: 'Entry': the list of sites to keep could not be read, so it was skipped"});
    EXPECT_EQ(m_tally.failures, 1);
    EXPECT_EQ(BytesWithCompanions(cookies), before);

    EXPECT_EQ(Clean({"Mozilla Firefox|cookies"}, false, std::vector<std::string>{"example.com"}),
              std::vector<std::string>{cookies + " - 1 cookie removed, 2 kept"});
    EXPECT_EQ(Rows(cookies, "SELECT host FROM moz_cookies ORDER BY id"), ".example.com\nmail.example.com\n");
}

TEST(DatabaseEntries, OnlyTheBuiltInRulesMakeOneAndEachNamesABrowserAndWhatItCleans)
{
    const char* const text = "[Mine]\nBrowserDatabase=Mozilla Firefox|history\nFileKey1=C:\\x|*.tmp\n";
    EXPECT_EQ(ParseRules(text).at(0).browserDatabase, "");
    EXPECT_EQ(ParseBuiltInRules(text).at(0).browserDatabase, "Mozilla Firefox|history");

    std::vector<std::string> databaseEntries;
    for (const RuleEntry& entry : ParseBuiltInRules(Platform().LoadResourceData(IDR_BUILTIN_RULES))) {
        if (entry.browserDatabase.empty())
            continue;
        databaseEntries.push_back(entry.name);
        EXPECT_TRUE(ParseDatabaseTarget(entry.browserDatabase)) << entry.name;
        EXPECT_TRUE(entry.fileKeys.empty() && entry.regKeys.empty()) << entry.name;
    }
    EXPECT_EQ(databaseEntries.size(), 9u);
}

TEST(BrowserText, CountsAreGroupedAndWordedForTheirDatabase)
{
    const struct {
        DatabaseWording wording;
        DatabaseCounts counts;
        bool preview;
        const char* line;
    } cases[] = {
        {DatabaseWording::History, {1234, 312}, false, "p - 1,234 history entries removed (312 bookmarks kept)\r\n"},
        {DatabaseWording::History, {1, 1}, true, "p - 1 history entry would be removed (1 bookmark kept)\r\n"},
        {DatabaseWording::Cookies, {56, 12}, false, "p - 56 cookies removed, 12 kept\r\n"},
        {DatabaseWording::Cookies, {1234567, 0}, true, "p - 1,234,567 cookies would be removed, 0 kept\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RowsLine(c.wording, "p", c.counts, c.preview), c.line);
}

} // namespace
