// The cleaning levels: presets, the level the switches match, when the favourites
// warning is due, and loading and storing the choice in the real (Wine) registry.
#include "settings/LevelLogic.h"
#include "ui/OptionsRules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

OptionSwitches FromBits(unsigned bits)
{
    return {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0, (bits & 16) != 0};
}

const OptionSwitches kAllOn{true, true, true, true, true};
const OptionSwitches kStandardSet{true, true, false, false, false};
const OptionSwitches kAllOff{false, false, false, false, false};

} // namespace

TEST(LevelLogic, EachLevelSetsItsPresetAndCustomOrAnUnknownPositionKeepsTheSwitches)
{
    for (unsigned bits = 0; bits < 32; ++bits) {
        const OptionSwitches current = FromBits(bits);
        EXPECT_EQ(ApplyLevel(kThorough, current), kAllOn);
        EXPECT_EQ(ApplyLevel(kStandard, current), kStandardSet);
        EXPECT_EQ(ApplyLevel(kBasic, current), kAllOff);
        for (int position : {kCustom, 0, 5, -1})
            EXPECT_EQ(ApplyLevel(position, current), current) << position;
    }
}

TEST(LevelLogic, TheSwitchesShowTheLevelTheyMatchAndApplyingItChangesNoSwitch)
{
    EXPECT_EQ(DeriveLevel(kAllOn), kThorough);
    EXPECT_EQ(DeriveLevel(kStandardSet), kStandard);
    EXPECT_EQ(DeriveLevel(kAllOff), kBasic);
    // The default switches are the Standard level's, so a first run behaves as Standard.
    EXPECT_EQ(DeriveLevel(OptionSwitches{}), kStandard);

    int custom = 0;
    for (unsigned bits = 0; bits < 32; ++bits) {
        const OptionSwitches switches = FromBits(bits);
        const int level = DeriveLevel(switches);
        custom += level == kCustom;
        EXPECT_EQ(ApplyLevel(level, switches), switches) << "switches " << bits;
    }
    EXPECT_EQ(custom, 29);

    // Checking the last unchecked box of the Thorough set moves to Thorough.
    OptionSwitches almost = kAllOn;
    almost.resetScores = false;
    EXPECT_EQ(DeriveLevel(almost), kCustom);
    almost.resetScores = true;
    EXPECT_EQ(DeriveLevel(almost), kThorough);
}

TEST(LevelLogic, TheFavouritesWarningIsDueOnlyWhenFavouritesTurnsOnWhileTheDialogShows)
{
    EXPECT_TRUE(FavoritesWarningDue(false, true, true));
    EXPECT_FALSE(FavoritesWarningDue(false, true, false)) << "while loading";
    EXPECT_FALSE(FavoritesWarningDue(true, true, true)) << "already checked";
    EXPECT_FALSE(FavoritesWarningDue(true, false, true)) << "unchecking";
    EXPECT_FALSE(FavoritesWarningDue(false, false, true));

    // Choosing a level warns only for Thorough over an unchecked favourites box.
    for (unsigned bits = 0; bits < 32; ++bits) {
        const OptionSwitches current = FromBits(bits);
        for (int level : {kThorough, kStandard, kBasic, kCustom}) {
            const bool due = FavoritesWarningDue(current.favorites, ApplyLevel(level, current).favorites, true);
            EXPECT_EQ(due, level == kThorough && !current.favorites) << level << " over " << bits;
        }
    }
}

TEST(LevelLogic, NamesAreReadIgnoringAsciiCaseAndAnyOtherNameMeansStandard)
{
    for (int position : {kThorough, kStandard, kBasic, kCustom})
        EXPECT_EQ(LevelFromName(LevelName(position)), position);
    EXPECT_EQ(LevelName(kThorough), "Thorough");
    EXPECT_EQ(LevelName(kCustom), "Custom");
    for (int position : {0, 5, -1, 1000})
        EXPECT_EQ(LevelName(position), "") << position;

    EXPECT_EQ(LevelFromName("THOROUGH"), kThorough);
    EXPECT_EQ(LevelFromName("basIC"), kBasic);
    EXPECT_EQ(LevelFromName("custom"), kCustom);
    for (const char* other : {"", "Thoroughly", "Thoroug", " Basic", "Custom ", "Lenient", "B\xC3\xA1sic"})
        EXPECT_EQ(LevelFromName(other), kStandard) << other;
}

#ifdef _WIN32

#include "settings/StoredRunOptions.h"
#include "support/TestEnv.h"

namespace {

// Fails the registry writes of the named values (all of them when the list is empty)
// and records the message boxes instead of showing them.
class CRefusingRegistry : public CPlatformDecorator {
public:
    explicit CRefusingRegistry(std::vector<std::string> refused) : CPlatformDecorator(Platform()), m_refused(refused) {}

    OsError RegWriteValue(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) override
    {
        written.push_back(name);
        for (const std::string& refused : m_refused) {
            if (refused == name)
                return kErrorAccessDenied;
        }
        if (m_refused.empty())
            return kErrorAccessDenied;
        return CPlatformDecorator::RegWriteValue(root, path, name, type, data);
    }
    int ShowMessage(void*, const std::string& text, const std::string& caption, unsigned style) override
    {
        messages.push_back(caption + ": " + text + " / " + std::to_string(style));
        return 1; // IDOK
    }

    std::vector<std::string> written;
    std::vector<std::string> messages;

private:
    std::vector<std::string> m_refused;
};

class LevelSettings : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }

    static void Clear() { testenv::DeleteTree(HKEY_CURRENT_USER, CSettingsStore::KeyPath("Options")); }
    void Store(const char* level, std::vector<unsigned> switches)
    {
        m_store.WriteSettingString("Options", "TypeOfPurgix", level);
        const char* names[] = {"DeleteNewsgroupSubscriptions", "DeleteCookies", "DeleteFavorites", "WipeClean",
                               "ResetGameScores"};
        for (size_t i = 0; i < switches.size(); ++i)
            m_store.WriteSettingInt("Options", names[i], switches[i]);
    }
    unsigned Stored(const char* entry) { return m_store.ReadSettingInt("Options", entry, 99); }
    std::string StoredLevel() { return m_store.ReadSettingString("Options", "TypeOfPurgix", "(absent)"); }

    CSettingsStore m_store;
};

} // namespace

// One reading of the stored choice: what the window and Options show is what the run
// and the console use.
struct StoredChoice {
    const char* level;    // nullptr: no level stored
    const char* switches; // newsgroups, cookies, favourites, wipe clean, game scores, free space; '-' absent
    int position;         // the level shown
    const char* reads;    // the switches in use
};

TEST_F(LevelSettings, TheSwitchesDecideAndAbsentOnesTakeTheStoredLevels)
{
    const StoredChoice cases[] = {
        {nullptr, "------", kStandard, "110000"},    // no settings: the defaults, a first run's Standard
        {nullptr, "--1---", kCustom, "111000"},      // favourites alone, as the demo's seed stored it
        {"Thorough", "------", kThorough, "111110"}, // an older version's level without switches
        {"Basic", "----1-", kCustom, "000010"},
        {"THOROUGH", "00000-", kCustom, "000000"}, // a name the switches disagree with reads as Custom
        {"Custom", "11000-", kCustom, "110000"},   // Custom holds any switches
        {"custom", "01201-", kCustom, "011010"},   // any non-zero value counts as on
        {"Custom", "0-----", kCustom, "010000"},   // absent switches of Custom take the defaults
        {"Lenient", "------", kStandard, "110000"},
        {"Thorough", "-----1", kCustom, "111111"}, // no level wipes the free space
    };
    for (const StoredChoice& c : cases) {
        Clear();
        if (c.level)
            m_store.WriteSettingString("Options", "TypeOfPurgix", c.level);
        for (std::size_t i = 0; i < std::size(kSwitches); ++i) {
            if (c.switches[i] != '-')
                m_store.WriteSettingInt("Options", kSwitches[i].name, static_cast<unsigned>(c.switches[i] - '0'));
        }
        const std::string label = std::string(c.level ? c.level : "(none)") + " " + c.switches;

        const LoadedOptions shown = LoadOptions(m_store);
        std::string reads;
        for (const auto& [name, member] : kSwitches)
            reads += shown.switches.*member ? '1' : '0';
        EXPECT_EQ(shown.position, c.position) << label;
        EXPECT_EQ(reads, c.reads) << label;
        EXPECT_EQ(ReadRunOptions(m_store).switches, shown.switches) << label;
    }
}

TEST_F(LevelSettings, SavingStoresTheNameAndTheSwitchesInOrder)
{
    CRefusingRegistry sys({"nothing refused"});
    EXPECT_TRUE(SaveOptions(sys, nullptr, kCustom, OptionSwitches{false, true, true, false, true}));
    EXPECT_EQ(sys.written,
              (std::vector<std::string>{"TypeOfPurgix", "DeleteNewsgroupSubscriptions", "DeleteFavorites",
                                        "DeleteCookies", "WipeClean", "ResetGameScores", "WipeFreeSpace"}));
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_EQ(StoredLevel(), "Custom");
    EXPECT_EQ(Stored("DeleteNewsgroupSubscriptions"), 0u);
    EXPECT_EQ(Stored("DeleteCookies"), 1u);
    EXPECT_EQ(Stored("DeleteFavorites"), 1u);
    EXPECT_EQ(Stored("WipeClean"), 0u);
    EXPECT_EQ(Stored("ResetGameScores"), 1u);

    // A position outside the four stores the empty name, which opens as Standard.
    EXPECT_TRUE(SaveOptions(sys, nullptr, 0, OptionSwitches{}));
    EXPECT_EQ(StoredLevel(), "");
    EXPECT_EQ(LoadOptions(m_store).position, kStandard);
}

TEST_F(LevelSettings, AFailedSaveTellsTheUserOnceAndKeepsWhatCouldBeWritten)
{
    const std::string message = "Purgix!: Unable to write to the registry. / 48"; // MB_OK | MB_ICONEXCLAMATION

    CRefusingRegistry refuseAll({});
    EXPECT_FALSE(SaveOptions(refuseAll, nullptr, kThorough, kAllOn));
    EXPECT_EQ(refuseAll.written.size(), 7u);
    EXPECT_EQ(refuseAll.messages, std::vector<std::string>{message});
    EXPECT_EQ(StoredLevel(), "(absent)");

    CRefusingRegistry refuseOne({"DeleteFavorites"});
    EXPECT_FALSE(SaveOptions(refuseOne, nullptr, kThorough, kAllOn));
    EXPECT_EQ(refuseOne.messages, std::vector<std::string>{message});
    EXPECT_EQ(StoredLevel(), "Thorough");
    EXPECT_EQ(Stored("DeleteFavorites"), 99u);
    EXPECT_EQ(Stored("ResetGameScores"), 1u);
}

#endif
