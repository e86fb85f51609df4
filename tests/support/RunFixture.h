#pragma once
// A whole cleaning run against a known registry, for the catalogue and run tests.
// Every location the catalogue reads starts absent, TEMP and TMP start empty, the
// options start at their defaults and the Extensible Cache key is gone; all of it is
// put back afterwards, and the stop flag is cleared.
#include "engine/run/CleaningEngine.h"
#include "settings/StoredRunOptions.h"
#include "support/RecordingSink.h"
#include "support/RegistryScope.h"
#include "support/VisitRecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace runkeys {
inline const HKEY kLm = HKEY_LOCAL_MACHINE;
inline const HKEY kCu = HKEY_CURRENT_USER;
inline const std::string kShellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline const std::string kIeMain = "SOFTWARE\\Microsoft\\Internet Explorer\\Main";
inline const std::string kInternetSettings = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline const std::string kCachePaths = kInternetSettings + "\\Cache\\Paths";
inline const std::string kUrlHistory = kInternetSettings + "\\Url History";
inline const std::string kIeCookies = kInternetSettings + "\\Cache\\Special Paths\\Cookies";
inline const std::string kExtensibleCache =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Extensible Cache";
inline const std::string kNetscape = "Software\\Netscape\\Netscape Navigator";
inline const std::string kNetscapeUsers = "SOFTWARE\\Netscape\\Netscape Navigator\\Users";
inline const std::string kMailAndNews = "Software\\Microsoft\\Internet Mail and News";
inline const std::string kOutlookExpress = "Software\\Microsoft\\Outlook Express";
inline const std::string kOptions = "Software\\Vellomar\\Purgix!\\Options";
} // namespace runkeys

// Where a 64-bit process finds what 32-bit programs wrote under "SOFTWARE\...".
std::string Wow64Key(const std::string& softwareKey);

// Report lines or status texts, in order.
using Lines = std::vector<std::string>;

// The recorder that also requests a stop at a chosen point: when a status text is
// shown, or when the progress bar takes its n-th step.
class CStoppingSink : public CRecordingSink {
public:
    void SetStatusText(const std::string& text, bool repaintNow) override
    {
        CRecordingSink::SetStatusText(text, repaintNow);
        if (!stopAtStatus.empty() && text == stopAtStatus)
            g_stopFlag = 1;
    }
    void StepProgress() override
    {
        CRecordingSink::StepProgress();
        if (progressSteps == stopAtStep)
            g_stopFlag = 1;
    }

    std::string stopAtStatus;
    int stopAtStep = -1;
};

class CRunFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // One cleaning run through the recording platform.
    void RunClean();
    // The report lines that concern this test: INFO lines and lines about its own
    // folders (under m_root, or on D: under m_driveTag), without "\r\n", in order.
    std::vector<std::string> OwnLines() const;
    // A file with some content, its folders created.
    void Put(const std::string& path, const std::string& contents = "x") const;

    void SetLocation(HKEY root, const std::string& key, const std::string& name, const std::string& value)
    {
        m_registry.SetString(root, key, name, value);
    }
    void SetOption(const std::string& name, DWORD value)
    {
        m_registry.SetDword(HKEY_CURRENT_USER, runkeys::kOptions, name, value);
    }
    void SetEnv(const char* name, const std::string& value);

    CRegistryScope m_registry;
    CVisitRecorder m_sys;
    CStoppingSink m_sink;
    std::string m_root;     // a fresh folder on C:
    std::string m_driveTag; // a name unique to this test, for its files on D:

private:
    std::string m_savedTemp;
    std::string m_savedTmp;
};
