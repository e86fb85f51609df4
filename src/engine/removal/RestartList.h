#pragma once
// The restart list: files in use (and folders left behind) recorded in the registry
// during a cleaning run, the RunOnce value that brings the program back at the next
// log-on, and the finishing run's work on what was recorded.
//
// Usage (a cleaning run):   list.Reset(); ... list.Append(path); ... list.Arm();
// Usage (the finishing run): list.RetryListed(); list.CloseListed();
#include "engine/core/RemovalHost.h"

#include <optional>
#include <string>
#include <vector>

class CRestartList {
public:
    explicit CRestartList(IRemovalHost& host) : m_host(host) {}

    void Reset();
    // Lists the path for the next log-on and returns true; returns false, listing nothing,
    // when a finishing run finds an entry still there after its last log-on attempt.
    bool Append(const std::string& path);
    void Arm();
    // The program RunOnce starts at the next log-on: the installed one (App Paths), or this
    // copy's own; "" when there is none.
    const std::string& FinishingProgram();
    // Entries listed since the last reset.
    int Listed() const { return m_listedEntries; }
    bool Finishing() const { return m_finishingRun; }

    // The finishing run: tries every listed entry again, one progress step each.
    void RetryListed();
    // Clears the list, then lists what is still in use afresh and arms the next log-on.
    void CloseListed();

private:
    // The finishing run keeps files still in use on a fresh list instead of
    // disturbing its own countdown, and arms the next log-on for them. Each carries
    // the number of log-ons it has resisted, so nothing brings the program back for ever.
    struct DeferredPath {
        std::string path;
        unsigned attempts;
    };

    void RemoveListedFolder(const std::string& folder);

    IRemovalHost& m_host;
    std::optional<std::string> m_finishingProgram; // once looked up
    int m_listedEntries = 0;                       // on the restart list so far
    bool m_finishingRun = false;
    unsigned m_retriedAttempts = 0; // the log-ons the entry now being retried had resisted
    std::vector<DeferredPath> m_stillInUse;
};
