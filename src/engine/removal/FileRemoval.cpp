// File removal: the folder sweep and the removal of one file, with the overwrite,
// the counters, the report line of every file and subfolder, and the restart list
// for whatever is in use. A preview takes the same walk and decides at each removal.
#include "engine/removal/FileRemoval.h"
#include "engine/removal/EntryIdentity.h"
#include "engine/removal/PathText.h"
#include "engine/removal/RemovalLines.h"
#include "engine/removal/SweepGuards.h"
#include "engine/removal/WildcardMatch.h"
#include "engine/core/StopFlag.h"
#include "sys/Exceptions.h"
#include "sys/FileHandles.h"
#include "sys/NameCase.h"

#include <algorithm>

namespace {

constexpr const char* kLineFolderProtected = " holds Windows or a user profile and was not emptied\r\n";
constexpr const char* kLineFolderIsLink = " is a link and was not followed\r\n";
constexpr const char* kLineFolderIsRoot = " is the top of a drive and was not swept\r\n";
constexpr const char* kLineFolderNotFull = " is not a full path and was not swept\r\n";

// The attributes that stop DeleteFile or the overwrite; only these are worth a call to clear.
constexpr std::uint32_t kAttrsInTheWay = kAttrReadOnly | kAttrHidden | kAttrSystem;
// What a restore after a failure puts back.
constexpr std::uint32_t kAttrsRestorable = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
constexpr std::size_t kWipeBlockBytes = 1 << 20;

void Check(OsError error)
{
    if (error != 0)
        throw CFileException::FromOsError(error);
}

// "." and ".." in any folder, and every "desktop.ini" (the folder's own settings).
bool IsNeverRemoved(const std::string& path)
{
    if (path == "." || path == ".." || path.ends_with("\\.") || path.ends_with("\\.."))
        return true;
    return EndsWithIgnoringAsciiCase(path, "desktop.ini");
}

bool IsDots(const std::string& name)
{
    return name == "." || name == "..";
}

// The parts of the file to overwrite: a sparse file only where it holds data, since
// writing its holes would allocate them and could fill the disk.
std::vector<ByteRange> RangesToOverwrite(CPlatform& sys, void* file, std::uint64_t length, bool sparse)
{
    std::vector<ByteRange> ranges;
    if (sparse && sys.FileAllocatedRanges(file, length, ranges) == 0)
        return ranges;
    return {{0, length}};
}

// Writing the whole length must fit beside what the file already occupies: Wine does not
// mark sparse files, so a large file of holes would otherwise take the disk's last byte.
bool FitsOnTheDisk(CPlatform& sys, void* file, const std::string& literal, std::uint64_t length)
{
    std::uint64_t allocated = 0;
    std::uint64_t free = 0;
    if (sys.FileAllocatedSize(file, allocated) != 0 ||
        sys.FreeSpace(literal.substr(0, literal.rfind('\\') + 1), free) != 0)
        return true; // unknown: the writes themselves stop at a full disk
    return length <= free + allocated;
}

// Writes 0x55 over every byte of the file's data in place, through the handle the
// deletion then uses, and makes sure it reached the disk. A file with other names keeps
// its data under them, so writing it would destroy data outside the target: it is left
// as it is and only this name goes. A full disk ends the overwrite; the file still goes.
void Overwrite(CPlatform& sys, void* file, const std::string& literal, bool sparse)
{
    FileInfo info;
    Check(sys.FileInformation(file, info));
    if (info.links > 1)
        return;
    std::uint64_t length = 0;
    Check(sys.FileSize(file, length));
    if (!FitsOnTheDisk(sys, file, literal, length))
        return;
    static const std::vector<char> pattern(kWipeBlockBytes, 0x55);
    for (const ByteRange& range : RangesToOverwrite(sys, file, length, sparse)) {
        if (range.offset >= length)
            continue;
        Check(sys.FileSeek(file, range.offset));
        for (std::uint64_t left = std::min(range.length, length - range.offset); left > 0;) {
            const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(left, pattern.size()));
            const OsError error = sys.FileWrite(file, pattern.data(), chunk);
            if (IsDiskFull(error))
                return;
            Check(error);
            left -= chunk;
        }
    }
    Check(sys.FileFlush(file));
}

// What the restart list records: the path as the user knows it, unless the system would
// read that spelling as another file (a name ending in a dot or a space).
std::string ListedForm(const std::string& literal)
{
    std::string shown = ShownPath(literal);
    return NeedsLiteralForm(shown) ? literal : shown;
}

// A file that stays is not counted.
void ReportNotDeleted(IRemovalHost& engine, const std::string& shown)
{
    engine.ReportItem(RunAction::NotDeleted, shown,
                      shown + (engine.Previewing() ? kLineWouldNotDelete : kLineNotDeleted));
}

// countable: the file's size when the summary counts it once it is listed for the next log-on.
void ReportFailure(IRemovalHost& engine, const std::string& literal, const std::string& shown,
                   const CFileException& failure, std::optional<std::uint64_t> countable = std::nullopt)
{
    // Only what the next log-on will try again is promised to go then.
    if (failure.MeansInUse() && engine.AppendToRestartList(ListedForm(literal))) {
        if (countable)
            engine.CountFile(*countable);
        engine.ReportItem(RunAction::Deferred, shown,
                          shown + (engine.Previewing() ? kLineWouldDeleteAtRestart : kLineInUse), countable);
    } else {
        ReportNotDeleted(engine, shown);
    }
}

// Clears the attributes that stop the overwrite's open and the deletion, through a
// handle of the entry itself. False, changing nothing, when the path leads elsewhere.
bool ClearAttributes(CPlatform& sys, const std::string& literal, const std::string& resolvedFolder,
                     const std::string& name)
{
    CFileHandle file(sys, literal, FileMode::RemoveEntry);
    if (!file.IsOpen())
        throw CFileException::FromOsError(file.OpenError());
    if (!IsEntryOf(sys, file.Get(), resolvedFolder, name))
        return false;
    Check(sys.FileSetAttributes(file.Get(), kAttrNormal));
    return true;
}

// What RemoveKnownFile would do, found without changing anything: the file is opened
// for deletion and closed at once, which fails while another program holds it.
void PreviewKnownFile(IRemovalHost& engine, const std::string& literal, const std::string& shown,
                      const FindEntry& status, const std::string& resolvedFolder)
{
    if (engine.PreviewSaidGone(literal))
        return;
    if (status.attributes & kAttrDirectory) {
        ReportNotDeleted(engine, shown);
        return;
    }
    CFileHandle probe(engine.Sys(), literal, FileMode::DeleteProbe);
    if (probe.IsOpen() && !IsEntryOf(engine.Sys(), probe.Get(), resolvedFolder, status.name))
        return; // a link: a run leaves it alone
    if (probe.IsOpen()) {
        engine.NotePreviewGone(literal);
        engine.CountFile(status.size);
        engine.ReportItem(RunAction::WouldDelete, shown, shown + kLineWouldDelete, status.size);
    } else {
        ReportFailure(engine, literal, shown, CFileException::FromOsError(probe.OpenError()), status.size);
    }
}

// Removes one file whose attributes and size are already known (from the directory
// search, or from a status read), so no further query is needed. The file is opened as
// the entry found in the folder that resolved to resolvedFolder; what a link there leads
// to is left alone, without a line. Attributes, overwrite and deletion all go through
// the checked handle; the report names the file as shown.
void RemoveKnownFile(IRemovalHost& engine, const std::string& literal, const std::string& shown,
                     const FindEntry& status, const std::string& resolvedFolder)
{
    if (IsNeverRemoved(literal)) {
        engine.NoteKept();
        return;
    }
    if (engine.Previewing()) {
        PreviewKnownFile(engine, literal, shown, status, resolvedFolder);
        return;
    }
    CPlatform& sys = engine.Sys();
    // Writing through a link would overwrite a file outside the folder being cleaned.
    const bool overwrite = engine.Switches().wipeClean && !(status.attributes & kAttrReparsePoint);
    bool attributesCleared = false;
    bool countable = false; // past the attributes: a file found in use then still counts
    try {
        if (status.attributes & kAttrDirectory)
            throw CFileException::FromOsError(kErrorDirectory);
        if (status.attributes & kAttrsInTheWay) {
            if (!ClearAttributes(sys, literal, resolvedFolder, status.name))
                return;
            attributesCleared = true;
        }
        CFileHandle file(sys, literal, overwrite ? FileMode::OverwriteEntry : FileMode::RemoveEntry);
        if (file.IsOpen() && !IsEntryOf(sys, file.Get(), resolvedFolder, status.name))
            return;
        countable = true;
        if (!file.IsOpen())
            throw CFileException::FromOsError(file.OpenError());
        if (overwrite)
            Overwrite(sys, file.Get(), literal, (status.attributes & kAttrSparse) != 0);
        Check(sys.FileDelete(file.Get()));
        file.Close(); // the file goes as its handle closes
        engine.CountFile(status.size);
        engine.ReportItem(RunAction::Deleted, shown, shown + kLineDeleted, status.size);
    } catch (const CFileException& failure) {
        // Every name of the file shares its attributes: what was cleared is put back.
        if (attributesCleared) {
            const std::uint32_t saved = status.attributes & kAttrsRestorable;
            sys.SetAttributes(literal, saved != 0 ? saved : kAttrNormal); // best effort
        }
        ReportFailure(engine, literal, shown, failure, countable ? std::optional(status.size) : std::nullopt);
    }
}

// The directory entry of one file, found by its own (literal) path.
OsError ReadStatus(CPlatform& sys, const std::string& literal, FindEntry& status)
{
    // A wildcard would make the search report some other file; the "\\?\" prefix holds a "?".
    if (literal.find_first_of("*?", 4) != std::string::npos)
        return kErrorInvalidName;
    const CFileFind find(sys, literal);
    if (!find.Found())
        return find.OpenError() != 0 ? find.OpenError() : kErrorFileNotFound;
    status = find.Entry();
    return 0;
}

// One sweep: patterns and a recurse flag applied to a folder and, on request, below it.
// The walk keeps its own stack of folders, so a tree of any depth costs heap, not the
// worker's stack.
class CFolderSweep {
public:
    CFolderSweep(IRemovalHost& engine, const SweepOptions& sweep)
        : m_engine(engine), m_sys(engine.Sys()), m_options(sweep), m_recurse(sweep.recurse),
          m_everything(MatchesEverything(sweep.patterns)),
          // Several patterns are matched in one search for every name, and so is one
          // pattern when the folders are to go: a file it does not name keeps its folder.
          m_search(sweep.patterns.size() == 1 && !sweep.removeSubfolders && !sweep.removeSelf ? sweep.patterns.front()
                                                                                              : std::string("*"))
    {
    }

    // folder: literal, absolute, ending in a backslash. Each subfolder's line follows the
    // lines of everything inside it.
    void Sweep(const std::string& folder)
    {
        m_path = folder;
        std::vector<Level> levels;
        // What cannot be opened cannot be told apart from a link: nothing in it is touched.
        std::string resolved = ResolvedFolder(m_sys, folder);
        if (resolved.empty())
            return;
        levels.push_back(Enter(std::move(resolved)));
        while (!levels.empty()) {
            Level& level = levels.back();
            if (m_recurse && level.next < level.subfolders.size() && !m_engine.ShouldStop()) {
                const FindEntry& subfolder = level.subfolders[level.next++];
                m_path += subfolder.name;
                m_path += '\\';
                resolved = ResolvedFolder(m_sys, m_path);
                if (resolved != level.resolved + '\\' + subfolder.name) {
                    // It leads elsewhere (a link Wine cannot show as one): left alone, and so is its folder.
                    level.kept = true;
                    m_path.resize(m_path.size() - subfolder.name.size() - 1);
                } else if (subfolder.attributes & kAttrReparsePoint) {
                    // A link or junction leads outside the folder being cleaned (or back into it).
                    LeaveSubfolder(false, false);
                } else {
                    levels.push_back(Enter(std::move(resolved)));
                }
                continue;
            }
            // Done, or stopped: each folder on the way up is tried once.
            // kept: it holds a file the sweep leaves on purpose, so it stays without a line.
            // contentsKept: something in it stays for any reason, which a preview must know.
            const bool kept = level.kept;
            const bool contentsKept = kept || m_engine.ItemsKept() != level.keptBefore || StopRequested();
            levels.pop_back();
            if (!levels.empty()) {
                levels.back().kept |= kept;
                LeaveSubfolder(kept, contentsKept);
            } else if (m_options.removeSelf && !kept && !StopRequested()) {
                // A stopped sweep has left files behind: its own folder stays without a line.
                RemoveFolderAtPath(contentsKept);
            }
        }
    }

private:
    struct Level {
        std::string resolved; // the path the folder resolves to, without a trailing backslash
        std::vector<FindEntry> subfolders;
        std::size_t next = 0;
        std::int64_t keptBefore = 0; // the engine's kept count when the folder was entered
        bool kept = false;           // holds a file the sweep leaves on purpose
    };

    // Removes the files of the folder at m_path (which resolved to `resolved`) and notes its subfolders.
    Level Enter(std::string resolved)
    {
        Level level;
        level.resolved = std::move(resolved);
        level.keptBefore = m_engine.ItemsKept();
        // For "*" one search yields both the files and the subfolders.
        const bool searchAll = MatchesEverything(m_search);
        Walk(m_search, level, m_recurse && searchAll ? &level.subfolders : nullptr);
        if (m_recurse && !searchAll)
            Walk("*", level, &level.subfolders, false);
        return level;
    }

    // Goes over one search's entries, removing the files the pattern names when asked and
    // noting the subfolders. The search also matches 8.3 short names, so each file's long
    // name is matched again.
    void Walk(const std::string& pattern, Level& level, std::vector<FindEntry>* subfolders, bool removeFiles = true)
    {
        for (CFileFind find(m_sys, m_path + pattern); find.Found(); find.Next()) {
            // A paused run stands still here; a cancel confirmed meanwhile is seen at once.
            if (m_engine.ShouldStop())
                return;
            const FindEntry& entry = find.Entry();
            if (entry.attributes & kAttrDirectory) {
                if (subfolders && !IsDots(entry.name))
                    subfolders->push_back(entry);
            } else if (removeFiles) {
                const std::string literal = m_path + entry.name;
                if (!m_everything && !Matches(entry.name))
                    level.kept = true;
                else if (m_options.keeps && m_options.keeps(ShownPath(literal)))
                    level.kept = true;
                else
                    RemoveKnownFile(m_engine, literal, ShownPath(literal), entry, level.resolved);
            }
        }
    }

    bool Matches(const std::string& name) const
    {
        return std::any_of(m_options.patterns.begin(), m_options.patterns.end(),
                           [&](const std::string& pattern) { return MatchesWildcard(name, pattern); });
    }

    // m_path names a subfolder (with its backslash) whose contents are done: the sweep
    // removes it too when asked and when it kept nothing there on purpose. m_path then
    // names its parent again.
    void LeaveSubfolder(bool kept, bool contentsKept)
    {
        if (m_options.removeSubfolders && !kept)
            RemoveFolderAtPath(contentsKept);
        m_path.resize(m_path.rfind('\\', m_path.size() - 2) + 1);
    }

    // A preview says the folder would go unless something in it stays (contentsKept).
    void RemoveFolderAtPath(bool contentsKept)
    {
        m_engine.Sink().PassPauseGate();
        const std::string shown = ShownPath(m_path);
        if (m_engine.Previewing())
            PreviewFolder(shown, contentsKept);
        // Without the trailing backslash, so a link is removed rather than resolved.
        else if (m_sys.RemoveFolder(m_path.substr(0, m_path.size() - 1)) == 0)
            m_engine.ReportItem(RunAction::Deleted, shown, shown + kLineDeleted);
        else
            KeepFolder(shown);
    }

    void PreviewFolder(const std::string& shown, bool contentsKept)
    {
        if (contentsKept)
            KeepFolder(shown);
        else if (m_engine.NotePreviewGone(m_path)) // listed once: a run finds it gone after
            m_engine.ReportItem(RunAction::WouldDelete, shown, shown + kLineWouldDelete);
    }

    void KeepFolder(const std::string& shown)
    {
        // A stopped run arms no log-on, so what the stop left unfinished is neither listed nor promised.
        if (StopRequested())
            return;
        if (m_engine.AppendToRestartList(ListedForm(m_path)))
            m_engine.ReportItem(RunAction::Deferred, shown,
                                shown + (m_engine.Previewing() ? kLineFolderWouldBeKept : kLineFolderKept));
        else
            ReportNotDeleted(m_engine, shown);
    }

    IRemovalHost& m_engine;
    CPlatform& m_sys;
    const SweepOptions& m_options;
    const bool m_recurse;
    const bool m_everything;
    const std::string m_search;
    std::string m_path; // the folder being worked on, ending in a backslash
};

} // namespace

void CFileRemoval::SweepFolder(const std::string& folder, const std::string& pattern, bool recurse)
{
    SweepOptions sweep;
    sweep.patterns = {pattern};
    sweep.recurse = recurse;
    sweep.removeSubfolders = MatchesEverything(pattern);
    sweep.oncePerRun = true;
    Sweep(folder, sweep);
}

void CFileRemoval::Sweep(const std::string& folder, const SweepOptions& sweep)
{
    std::string working = folder;
    if (working.empty() || (working.back() != '\\' && working.back() != '/'))
        working += '\\';
    // A relative location would be taken against whatever folder the program runs in.
    std::string full;
    if (!IsAbsolutePath(working) || m_host.Sys().GetFullPath(working, full) != 0 || full.empty()) {
        if (sweep.reportEveryRefusal)
            m_host.ReportItem(RunAction::Skipped, folder, "INFO: " + folder + kLineFolderNotFull);
        return;
    }
    if (full.back() != '\\')
        full += '\\';
    const std::string literal = LiteralPath(full);

    switch (CheckSweepStart(m_host.Sys(), literal, MatchesEverything(sweep.patterns))) {
    case SweepStart::Allowed:
        if (!sweep.oncePerRun || FirstSweepOf(literal, sweep))
            CFolderSweep(m_host, sweep).Sweep(literal);
        return;
    case SweepStart::Link:
        m_host.ReportItem(RunAction::Skipped, ShownPath(literal), "INFO: " + ShownPath(literal) + kLineFolderIsLink);
        return;
    case SweepStart::Protected:
        m_host.ReportItem(RunAction::Skipped, ShownPath(literal), "INFO: " + ShownPath(literal) + kLineFolderProtected);
        return;
    case SweepStart::VolumeRoot:
        if (sweep.reportEveryRefusal)
            m_host.ReportItem(RunAction::Skipped, ShownPath(literal),
                              "INFO: " + ShownPath(literal) + kLineFolderIsRoot);
        return;
    case SweepStart::Missing:
    case SweepStart::Unidentified:
        return;
    }
}

void CFileRemoval::RemoveFile(const std::string& path)
{
    if (IsNeverRemoved(path))
        return;
    const std::string shown = ShownPath(path);
    std::string full;
    if (!IsAbsolutePath(path) || m_host.Sys().GetFullPath(path, full) != 0) {
        ReportNotDeleted(m_host, shown);
        return;
    }
    // The file found is the file removed: its own name, in the folder the path names.
    const std::string literal = LiteralPath(path.rfind("\\\\?\\", 0) == 0 ? path : full);
    FindEntry status;
    OsError error = ReadStatus(m_host.Sys(), literal, status);
    const std::string found = literal.substr(0, literal.rfind('\\') + 1) + status.name;
    if (error == 0 && m_host.Previewing() && m_host.PreviewSaidGone(found))
        error = kErrorFileNotFound; // as a run finds it, once an earlier target has removed it
    if (error != 0) {
        ReportFailure(m_host, literal, shown, CFileException::FromOsError(error));
        return;
    }
    // A named file whose folder cannot be resolved is said so, not passed over in silence:
    // the finishing run would otherwise drop it from the list unremoved.
    const std::string resolvedFolder = ResolvedFolder(m_host.Sys(), literal.substr(0, literal.rfind('\\') + 1));
    if (resolvedFolder.empty()) {
        ReportNotDeleted(m_host, shown);
        return;
    }
    RemoveKnownFile(m_host, found, shown, status, resolvedFolder);
}

bool CFileRemoval::FirstSweepOf(const std::string& literalFolder, const SweepOptions& sweep)
{
    std::set<SweptFolder>* swept = m_host.SweptFolders();
    if (!swept)
        return true;
    const std::optional<FileInfo> folder = Identity(m_host.Sys(), literalFolder);
    if (!folder)
        return true; // it cannot be told apart from the others: swept as named
    std::string patterns;
    for (const std::string& pattern : sweep.patterns)
        patterns += Lowered(pattern) + '|';
    return swept->emplace(folder->volume, folder->index, patterns, sweep.recurse).second;
}
