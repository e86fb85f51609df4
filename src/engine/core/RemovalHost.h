#pragma once
// What the file removal and the restart list need from whoever runs them: the platform,
// the report, the run's options and tally, and its memories. The cleaning engine is the
// one host; removal code sees only this.
#include "engine/core/RunOptions.h"
#include "engine/core/RunSink.h"
#include "sys/Platform.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <tuple>

// A folder a run has swept: its volume, its file index, its patterns (lower case, each
// followed by '|') and whether the sweep went below it.
using SweptFolder = std::tuple<std::uint32_t, std::uint64_t, std::string, bool>;

class IRemovalHost {
public:
    virtual ~IRemovalHost() = default;

    virtual CPlatform& Sys() = 0;
    virtual IRunSink& Sink() = 0;
    // The stop test of the run: a paused run stands still here until the user has
    // answered, then reads the flag.
    virtual bool ShouldStop() = 0;
    virtual const OptionSwitches& Switches() const = 0;
    virtual bool Previewing() const = 0;

    // Reports a line about one thing (see RunItem), and counts what stays.
    virtual void ReportItem(RunAction action, const std::string& path, std::string line,
                            std::optional<std::uint64_t> bytes = std::nullopt) = 0;
    // A file the summary counts: it goes now, or at the next log-on.
    virtual void CountFile(std::uint64_t size) = 0;
    // The line about one database cleaned inside (RunAction::RowsRemoved); the summary
    // counts the bytes it freed, not a file.
    virtual void ReportRows(const std::string& path, std::string line, RowCounts rows, std::uint64_t bytesFreed) = 0;
    // Something the run leaves where it is without a line (a file it never removes). A
    // preview says a folder would stay when the count of things left grew while it went
    // through it.
    virtual void NoteKept() = 0;
    virtual std::int64_t ItemsKept() const = 0;

    // What a preview has said would go (literal paths): a run would not find them again
    // when a later target covers the same place, so neither does the preview.
    virtual bool PreviewSaidGone(const std::string& literal) const = 0;
    // Notes one; false when it was noted already.
    virtual bool NotePreviewGone(const std::string& literal) = 0;
    // The folders this run has swept so far; none outside a run, where every sweep is a first.
    virtual std::set<SweptFolder>* SweptFolders() = 0;

    // Lists the path for the next log-on and returns true; returns false, listing nothing,
    // when nothing could finish the work then.
    virtual bool AppendToRestartList(const std::string& path) = 0;

    // Registry access: nothing when the value is not there; CResourceException, with the
    // system's error code, when the key cannot be read or a value cannot be deleted. A
    // failed write shows "Unable to write to the registry." and raises nothing.
    virtual std::optional<std::string> ReadRegistryString(RegRoot root, const std::string& path,
                                                          const std::string& name) = 0;
    virtual void DeleteAllRegistryValues(RegRoot root, const std::string& path) = 0;
    virtual void WriteRegistryString(RegRoot root, const std::string& path, const std::string& name,
                                     const std::string& text) = 0;
};
