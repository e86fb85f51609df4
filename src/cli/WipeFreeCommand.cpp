#include "cli/WipeFreeCommand.h"

#include "cli/ConsoleSink.h"
#include "cli/JsonLines.h"
#include "engine/removal/FreeSpaceText.h"
#include "engine/run/CleaningEngine.h"
#include "sys/Console.h"
#include "sys/NameCase.h"
#include "sys/TextFormat.h"

#include <chrono>

namespace {

constexpr std::size_t kStatusWidth = 79;

// The wipe's status on standard error: redrawn in place on a console, a line a second
// into a pipe or a file.
class CConsoleWipeListener : public IWipeListener {
public:
    CConsoleWipeListener(const CConsoleStream& err, std::string drive) : m_err(err), m_drive(std::move(drive)) {}
    ~CConsoleWipeListener() override
    {
        if (m_err.IsConsole())
            m_err.Write("\r" + std::string(kStatusWidth, ' ') + "\r");
    }
    CConsoleWipeListener(const CConsoleWipeListener&) = delete;
    CConsoleWipeListener& operator=(const CConsoleWipeListener&) = delete;

    void Progress(std::uint64_t written, std::uint64_t total) override
    {
        const auto now = std::chrono::steady_clock::now();
        const auto interval = m_err.IsConsole() ? std::chrono::milliseconds(100) : std::chrono::milliseconds(1000);
        if (now - m_shown < interval)
            return;
        m_shown = now;
        std::string status = WipeStatus(m_drive, written, total);
        if (!m_err.IsConsole()) {
            m_err.Write(status + "\n");
            return;
        }
        status.resize(kStatusWidth, ' ');
        m_err.Write("\r" + status);
    }
    bool ShouldStop() override { return StopRequested(); }

private:
    const CConsoleStream& m_err;
    const std::string m_drive;
    std::chrono::steady_clock::time_point m_shown;
};

// "w:\" for "W:", "w" or "W:\"; "" for anything else.
std::string DriveRoot(const std::string& operand)
{
    const std::string root = Lowered(operand);
    const bool letter = !root.empty() && root[0] >= 'a' && root[0] <= 'z';
    if (!letter || (root.size() > 1 && root.substr(1) != ":" && root.substr(1) != ":\\"))
        return {};
    return root.substr(0, 1) + ":\\";
}

} // namespace

int WipeFreeCommand(const CliRequest& request)
{
    const CConsoleStream out(ConsoleStreamId::Output);
    const CConsoleStream err(ConsoleStreamId::Error);
    std::vector<std::string> roots;
    for (const std::string& operand : request.operands) {
        roots.push_back(DriveRoot(operand));
        if (roots.back().empty()) {
            err.Write("purgix-cli: '" + operand + "' is not a drive (C: or C)\n");
            return kExitUsage;
        }
        // Only the disks of this computer: a network share's free space is the server's.
        if (Platform().DriveType(roots.back()) != kDriveFixed) {
            err.Write("purgix-cli: '" + operand + "' is not a fixed drive\n");
            return kExitUsage;
        }
    }
    if (roots.empty()) {
        CConsoleSink sink(request.json, false, out, err);
        roots = CCleaningEngine(sink).FixedDriveRoots();
    }
    g_stopFlag = 0;
    OnConsoleInterrupt([] { g_stopFlag = 1; });
    bool failed = false;
    for (const std::string& root : roots) {
        if (StopRequested())
            break;
        const std::string drive = DriveName(root);
        if (Platform().VolumeOnSolidState(root)) {
            const std::string line = WithoutLineEnd(SolidStateLine(drive));
            out.Write((request.json ? InfoJson(line) : line) + "\n");
        }
        WipeResult result;
        {
            CConsoleWipeListener listener(err, drive);
            result = WipeFreeSpace(Platform(), root, listener);
        }
        failed = failed || result.outcome == WipeOutcome::Failed;
        out.Write((request.json ? WipeJson(drive, result) : WithoutLineEnd(WipeResultLine(drive, result))) + "\n");
    }
    if (failed)
        return kExitIncomplete;
    return StopRequested() ? kExitStopped : kExitDone;
}
