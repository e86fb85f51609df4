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
    bool AskYesNo(const std::string& text) override
    {
        questions.push_back(text);
        return NextAnswer(answers);
    }
    void Tell(const std::string& text) override { messages.push_back(text); }
    bool AskRetryOrSkip(const std::string& text) override
    {
        retryQuestions.push_back(text);
        if (onRetryQuestion)
            onRetryQuestion();
        return NextAnswer(retries);
    }
    void PassPauseGate() override {}
    void OnRunFinished(const RunOutcome& outcome) override
    {
        ++finished;
        outcomes.push_back(outcome);
    }

    // The first answer left, which it takes; false when none is left.
    static bool NextAnswer(std::deque<bool>& queue)
    {
        if (queue.empty())
            return false;
        const bool answer = queue.front();
        queue.pop_front();
        return answer;
    }

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

    std::string report;
    std::vector<RunItem> items; // the lines about one thing, with what they say in parts
    std::vector<std::string> statuses;
    int progressMax = -1;
    int progressSteps = 0;
    bool progressReset = false;
    std::vector<bool> busy;
    std::vector<std::string> questions;
    std::deque<bool> answers; // Yes: true; none left: No
    std::vector<std::string> messages;
    std::vector<std::string> retryQuestions;
    std::deque<bool> retries;              // Retry: true; none left: Skip
    std::function<void()> onRetryQuestion; // e.g. the user closes the browser before answering
    int finished = 0;
    std::vector<RunOutcome> outcomes;
    std::function<void(const std::string&)> onLine; // e.g. to request a stop mid-run
};
