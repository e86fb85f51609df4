#include "cli/ConsoleSink.h"

#include "cli/CliRequest.h"
#include "sys/TextFormat.h"

namespace {

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
    if (!m_json)
        WriteLine(line);
    else if (line.rfind(kInfoPrefix, 0) == 0)
        WriteLine(InfoJson(line));
}

void CConsoleSink::ReportItem(const RunItem& item)
{
    if (item.bytes) {
        m_tally.files += item.action == RunAction::RowsRemoved ? 0 : 1; // a database stays
        m_tally.bytes += *item.bytes;
    }
    if (item.action == RunAction::Deferred)
        ++m_tally.deferred;
    if (item.action == RunAction::NotDeleted || item.action == RunAction::RegistryFailed)
        ++m_tally.failures;
    WriteLine(m_json ? ItemJson(item, m_preview) : WithoutLineEnd(item.line));
    DrawProgress();
}

void CConsoleSink::SetStatusText(const std::string& text, bool)
{
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

void CConsoleSink::Tell(const std::string& text)
{
    WriteLine(m_json ? InfoJson(text) : kInfoPrefix + text);
}

void CConsoleSink::OnRunFinished(const RunOutcome& outcome)
{
    m_outcome = outcome;
    ClearProgress();
}

void CConsoleSink::Finish(double seconds)
{
    if (m_json)
        WriteLine(SummaryJson(m_tally, seconds, m_preview));
}

int CConsoleSink::ExitCode() const
{
    if (!m_outcome || m_outcome->end == RunEnd::Failed)
        return kExitIncomplete;
    if (m_outcome->end == RunEnd::Stopped)
        return kExitStopped;
    return m_outcome->tally.failures > 0 || m_outcome->tally.deferred > 0 ? kExitIncomplete : kExitDone;
}
