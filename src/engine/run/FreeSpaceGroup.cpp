// The run's last group: the free-space wipe of every fixed drive, with its status text
// and its share of the progress bar.
#include "engine/core/StopFlag.h"
#include "engine/removal/FreeSpaceText.h"
#include "engine/run/CleaningEngine.h"

#include <chrono>

namespace {

constexpr int kStepsPerDrive = 20;
constexpr auto kStatusInterval = std::chrono::milliseconds(200);

// Shows one drive's wipe in the status line and moves the bar within the drive's steps.
class CRunWipeListener : public IWipeListener {
public:
    CRunWipeListener(IRemovalHost& host, std::string drive) : m_host(host), m_drive(std::move(drive)) {}
    ~CRunWipeListener() override
    {
        for (; m_steps < kStepsPerDrive; ++m_steps)
            m_host.Sink().StepProgress();
    }
    CRunWipeListener(const CRunWipeListener&) = delete;
    CRunWipeListener& operator=(const CRunWipeListener&) = delete;

    void Progress(std::uint64_t written, std::uint64_t total) override
    {
        const auto due = total == 0 ? kStepsPerDrive : static_cast<int>(written * kStepsPerDrive / total);
        for (; m_steps < due && m_steps < kStepsPerDrive; ++m_steps)
            m_host.Sink().StepProgress();
        const auto now = std::chrono::steady_clock::now();
        if (now - m_shown < kStatusInterval)
            return;
        m_shown = now;
        m_host.Sink().SetStatusText(WipeStatus(m_drive, written, total), true);
    }
    // The stop itself, without the pause a pending cancel question makes: a wipe that stood
    // still there could keep the drive full for as long as the question is open.
    bool ShouldStop() override { return StopRequested(); }

private:
    IRemovalHost& m_host;
    const std::string m_drive;
    std::chrono::steady_clock::time_point m_shown;
    int m_steps = 0;
};

} // namespace

int CCleaningEngine::WipeProgressSteps()
{
    if (!Switches().wipeFreeSpace || Previewing() || m_options.rulesOnly)
        return 0;
    return static_cast<int>(FixedDriveRoots().size()) * kStepsPerDrive;
}

void CCleaningEngine::WipeFreeDiskSpace()
{
    if (!Switches().wipeFreeSpace)
        return;
    for (const std::string& root : FixedDriveRoots()) {
        if (ShouldStop())
            return;
        const std::string drive = DriveName(root);
        if (Previewing()) {
            std::uint64_t freeBytes = 0;
            const OsError error = m_sys.FreeSpace(root, freeBytes);
            Report(error ? WipePreviewFailedLine(drive, error) : WipePreviewLine(drive, freeBytes));
            continue;
        }
        if (m_sys.VolumeOnSolidState(root))
            Report(SolidStateLine(drive));
        WipeResult result;
        {
            CRunWipeListener listener(*this, drive);
            result = WipeFreeSpace(m_sys, root, listener);
        }
        if (result.outcome == WipeOutcome::Failed)
            ++m_tally.failures;
        m_sink->ReportItem(
            {RunAction::FreeSpaceWiped, drive, WipeResultLine(drive, result), std::nullopt, std::nullopt, result});
    }
}
