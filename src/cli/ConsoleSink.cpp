#include "cli/ConsoleSink.h"

#include "cli/CliRequest.h"
#include "engine/run/RunText.h"
#include "sys/TextFormat.h"

namespace {

constexpr unsigned kYesNoButtons = 0x4;
constexpr unsigned kButtonsMask = 0xF;
constexpr int kIdOk = 1;
constexpr int kIdNo = 7;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr std::size_t kProgressWidth = 79;
constexpr const char* kInfoPrefix = "INFO: ";

} // namespace

CConsoleSink::CConsoleSink(bool json, bool preview, const CConsoleStream& out, const CConsoleStream& err)
    : m_json(json), m_preview(preview), m_out(out), m_err(err)
{
}

void CConsoleSink::WriteLine(const std::string& line)
{
    if (m_out.IsConsole())
        ClearProgress(); // the report and the count share the screen
    m_out.Write(line + "\n");
}

void CConsoleSink::ClearProgress()
{
    if (m_progressShown)
        m_err.Write("\r" + std::string(kProgressWidth, ' ') + "\r");
    m_progressShown = false;
}

void CConsoleSink::AppendReport(const std::string& text)
{
    const std::string line = WithoutLineEnd(text);
    if (line.rfind(kLineStopped, 0) == 0)
        m_troubled = true;
    if (!m_json)
        WriteLine(line);
    else if (line.rfind(kInfoPrefix, 0) == 0)
        WriteLine(InfoJson(line));
}

void CConsoleSink::ReportItem(const RunItem& item)
{
    if (item.bytes) {
        ++m_tally.files;
        m_tally.bytes += *item.bytes;
    }
    if (item.action == RunAction::Deferred)
        ++m_tally.deferred;
    if (item.action == RunAction::NotDeleted || item.action == RunAction::RegistryFailed)
        ++m_tally.failed;
    WriteLine(m_json ? ItemJson(item, m_preview) : WithoutLineEnd(item.line));
    DrawProgress();
}

void CConsoleSink::SetStatusText(const std::string& text, bool)
{
    if (text == kStatusCancelled)
        m_cancelled = true;
    m_place = text;
    DrawProgress();
}

void CConsoleSink::DrawProgress()
{
    if (!m_err.IsConsole())
        return;
    const auto time = std::chrono::steady_clock::now();
    if (time - m_lastDraw < kRedrawInterval)
        return;
    m_lastDraw = time;
    std::string line = FormatText("%lld files - ", static_cast<long long>(m_tally.files)) + m_place;
    line.resize(kProgressWidth, ' ');
    m_err.Write("\r" + line);
    m_progressShown = true;
}

int CConsoleSink::Ask(const std::string& text, unsigned style)
{
    if ((style & kButtonsMask) == kYesNoButtons)
        return kIdNo; // a script never restarts Windows
    m_troubled = true;
    WriteLine(m_json ? InfoJson(text) : kInfoPrefix + text);
    return kIdOk;
}

void CConsoleSink::OnRunFinished()
{
    ClearProgress();
}

void CConsoleSink::Finish(double seconds)
{
    if (m_json)
        WriteLine(SummaryJson(m_tally, seconds, m_preview));
}

int CConsoleSink::ExitCode() const
{
    if (m_cancelled)
        return kExitStopped;
    return m_troubled || m_tally.failed > 0 || m_tally.deferred > 0 ? kExitIncomplete : kExitDone;
}
