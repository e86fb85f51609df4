#pragma once
// A stand-in for the main window: records what a run shows and answers its
// questions from a script.
#include "engine/core/RunSink.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class CRecordingSink : public IRunSink {
public:
    void AppendReport(const std::string& text) override
    {
        report += text;
        if (onLine)
            onLine(text);
    }
    void ReportItem(const RunItem& item) override
    {
        items.push_back(item);
        AppendReport(item.line);
    }
    void ClearReport() override { report.clear(); }
    void RepaintReport() override {}
    void SetStatusText(const std::string& text, bool) override { statuses.push_back(text); }
    void SetProgressRange(int maximum) override { progressMax = maximum; }
    void StepProgress() override { ++progressSteps; }
    void ResetProgress() override { progressReset = true; }
    void SetBusy(bool isBusy) override { busy.push_back(isBusy); }
    int Ask(const std::string& text, unsigned style) override
    {
        questions.push_back({text, style});
        if (answers.empty())
            return 1; // IDOK
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void PassPauseGate() override {}
    void OnRunFinished() override { ++finished; }

    // Report lines, without their "\r\n".
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        size_t at = 0;
        for (size_t end; (end = report.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(report.substr(at, end - at));
        if (at < report.size())
            lines.push_back(report.substr(at));
        return lines;
    }

    struct Question {
        std::string text;
        unsigned style;
    };

    std::string report;
    std::vector<RunItem> items; // the lines about one thing, with what they say in parts
    std::vector<std::string> statuses;
    int progressMax = -1;
    int progressSteps = 0;
    bool progressReset = false;
    std::vector<bool> busy;
    std::vector<Question> questions;
    std::deque<int> answers; // IDYES 6, IDNO 7
    int finished = 0;
    std::function<void(const std::string&)> onLine; // e.g. to request a stop mid-run
};
