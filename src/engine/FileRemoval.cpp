// File removal: the folder sweep and the removal of one file, with the overwrite,
// the counters, the report line of every file and subfolder, and the restart list
// for whatever is in use.
#include "engine/CleaningEngine.h"
#include "engine/RemovalLines.h"
#include "sys/TextFormat.h"

#include "sys/FileHandles.h"

#include <algorithm>
#include <array>

namespace {

constexpr const char* kLineFolderProtected = " holds Windows or a user profile and was not emptied\r\n";

// The attributes that stop DeleteFile or the overwrite; only these are worth a call to clear.
constexpr std::uint32_t kAttrsInTheWay = kAttrReadOnly | kAttrHidden | kAttrSystem;
// What a restore after a failure puts back.
constexpr std::uint32_t kAttrsRestorable = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
constexpr std::size_t kWipeBlockBytes = 1 << 20;
constexpr unsigned long kErrorFileNotFound = 2;
constexpr unsigned long kErrorInvalidName = 123;
constexpr unsigned long kErrorDirectory = 267;

void Check(OsError error)
{
    if (error != 0)
        throw CFileException::FromOsError(error);
}

bool EndsWith(const std::string& text, const char* tail)
{
    const std::string_view suffix(tail);
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// "." and ".." in any folder, and every "desktop.ini" (the folder's own settings).
bool IsNeverRemoved(const std::string& path)
{
    if (path == "." || path == ".." || EndsWith(path, "\\.") || EndsWith(path, "\\.."))
        return true;
    constexpr std::size_t kDesktopIniLength = 11;
    return path.size() >= kDesktopIniLength && Lowered(path.substr(path.size() - kDesktopIniLength)) == "desktop.ini";
}

bool IsDots(const std::string& name)
{
    return name == "." || name == "..";
}

bool MatchesEverything(const std::string& pattern)
{
    return pattern == "*" || pattern == "*.*";
}

// Writes 0x55 over every byte of the file in place and makes sure it reached the disk.
void Overwrite(CPlatform& sys, const std::string& path)
{
    CFileHandle file(sys, path, FileMode::WriteExclusive);
    if (!file.IsOpen())
        throw CFileException::FromOsError(file.OpenError());
    std::uint64_t length = 0;
    Check(sys.FileSize(file.Get(), length));
    static const std::vector<char> pattern(kWipeBlockBytes, 0x55);
    for (std::uint64_t left = length; left > 0;) {
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(left, pattern.size()));
        Check(sys.FileWrite(file.Get(), pattern.data(), chunk));
        left -= chunk;
    }
    Check(sys.FileFlush(file.Get()));
}

void ReportFailure(CCleaningEngine& engine, const std::string& path, const CFileException& failure)
{
    // Only what the next log-on will try again is promised to go then.
    if (failure.MeansInUse() && engine.AppendToRestartList(path))
        engine.Window().AppendReport(path + kLineInUse);
    else
        engine.Window().AppendReport(path + kLineNotDeleted);
}

// Removes one file whose attributes and size are already known (from the directory
// search, or from a status read), so no further query is needed.
void RemoveKnownFile(CCleaningEngine& engine, const std::string& path, const FindEntry& status)
{
    if (IsNeverRemoved(path))
        return;
    CPlatform& sys = engine.Sys();
    bool attributesCleared = false;
    try {
        if (status.attributes & kAttrDirectory)
            throw CFileException::FromOsError(kErrorDirectory);
        if (status.attributes & kAttrsInTheWay) {
            Check(sys.SetAttributes(path, kAttrNormal));
            attributesCleared = true;
        }
        // Counted before the overwrite and the deletion: a file that then resists stays counted.
        ++engine.m_nFilesDeleted;
        engine.m_dwBytesRecovered += status.size;
        // Writing through a link would overwrite a file outside the folder being cleaned.
        if (engine.m_bWipeClean && !(status.attributes & kAttrReparsePoint))
            Overwrite(sys, path);
        Check(sys.DeleteFileAt(path));
        engine.Window().AppendReport(path + kLineDeleted);
    } catch (const CFileException& failure) {
        ReportFailure(engine, path, failure);
        if (attributesCleared) {
            const std::uint32_t saved = status.attributes & kAttrsRestorable;
            sys.SetAttributes(path, saved != 0 ? saved : kAttrNormal); // best effort
        }
    }
}

// The directory entry of one file, found by its own path.
OsError ReadStatus(CPlatform& sys, const std::string& path, FindEntry& status)
{
    // A wildcard would make the search report some other file; the "\\?\" prefix holds a "?".
    const std::size_t nameStart = path.rfind("\\\\?\\", 0) == 0 ? 4 : 0;
    if (path.find_first_of("*?", nameStart) != std::string::npos)
        return kErrorInvalidName;
    OsError error = 0;
    void* find = sys.FindOpen(path, status, error);
    if (!find)
        return error != 0 ? error : kErrorFileNotFound;
    sys.FindClose(find);
    return 0;
}

// The path without the "\\?\" or "\\.\" prefix, "\\?\UNC\" turned back into "\\".
std::string WithoutDevicePrefix(const std::string& path)
{
    if (path.rfind("\\\\?\\UNC\\", 0) == 0)
        return "\\\\" + path.substr(8);
    if (path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0)
        return path.substr(4);
    return path;
}

// The path absolute, without prefix, "." or "..", without a trailing backslash and in
// lower case, so that every spelling of one folder compares equal.
std::string Canonical(CPlatform& sys, const std::string& path)
{
    std::string full = WithoutDevicePrefix(path);
    if (!full.empty() && sys.GetFullPath(full, full) != 0)
        full = WithoutDevicePrefix(path);
    while (!full.empty() && (full.back() == '\\' || full.back() == '/'))
        full.pop_back();
    return Lowered(full);
}

// "c:", "\\server\share" and "volume{...}" name the top of a volume.
bool IsVolumeRoot(const std::string& canonical)
{
    if (canonical.rfind("\\\\", 0) == 0) {
        const std::size_t share = canonical.find('\\', 2);
        return share == std::string::npos || canonical.find('\\', share + 1) == std::string::npos;
    }
    return canonical.find('\\') == std::string::npos;
}

// The Windows, system and profile folders, or a folder above one of them.
bool HoldsSystemFolder(CPlatform& sys, const std::string& canonical)
{
    const std::array<std::string, 3> folders = {sys.WindowsDirectory(), sys.SystemDirectory(), sys.ProfileDirectory()};
    for (const std::string& folder : folders) {
        if (folder.empty())
            continue;
        const std::string kept = Canonical(sys, folder);
        if (kept == canonical || kept.rfind(canonical + "\\", 0) == 0)
            return true;
    }
    return false;
}

// One sweep: a pattern and a recurse flag applied to a folder and, on request, below it.
class CFolderSweep {
public:
    CFolderSweep(CCleaningEngine& engine, const std::string& pattern, bool recurse)
        : m_engine(engine), m_sys(engine.Sys()), m_pattern(pattern), m_recurse(recurse),
          m_everything(MatchesEverything(pattern))
    {
    }

    // folder: absolute, ending in a backslash.
    void Sweep(const std::string& folder)
    {
        std::vector<FindEntry> subfolders;
        // For "*" one search yields both the files and the subfolders.
        Walk(folder, m_pattern, true, m_recurse && m_everything ? &subfolders : nullptr);
        if (!m_recurse)
            return;
        if (!m_everything)
            Walk(folder, "*", false, &subfolders);
        for (const FindEntry& subfolder : subfolders) {
            if (m_engine.ShouldStop())
                return;
            SweepSubfolder(folder + subfolder.name + "\\", subfolder.attributes);
        }
    }

private:
    // Goes over one search's entries, removing the files when asked and noting the subfolders.
    void Walk(const std::string& folder, const std::string& pattern, bool removeFiles,
              std::vector<FindEntry>* subfolders)
    {
        for (CFileFind find(m_sys, folder + pattern); find.Found(); find.Next()) {
            // A paused run stands still here; a cancel confirmed meanwhile is seen at once.
            if (m_engine.ShouldStop())
                return;
            const FindEntry& entry = find.Entry();
            if (entry.attributes & kAttrDirectory) {
                if (subfolders && !IsDots(entry.name))
                    subfolders->push_back(entry);
            } else if (removeFiles) {
                RemoveKnownFile(m_engine, folder + entry.name, entry);
            }
        }
    }

    // sub ends in a backslash; its own line follows the lines of everything inside it.
    void SweepSubfolder(const std::string& sub, std::uint32_t attributes)
    {
        // A link or junction leads outside the folder being cleaned (or back into it).
        if (!(attributes & kAttrReparsePoint))
            Sweep(sub);
        if (!m_everything)
            return;
        m_engine.Window().PassPauseGate();
        // Without the trailing backslash, so a link is removed rather than resolved.
        if (m_sys.RemoveFolder(sub.substr(0, sub.size() - 1)) == 0) {
            m_engine.Window().AppendReport(sub + kLineDeleted);
        } else {
            m_engine.AppendToRestartList(sub); // a cleaning run always lists
            m_engine.Window().AppendReport(sub + kLineFolderKept);
        }
    }

    CCleaningEngine& m_engine;
    CPlatform& m_sys;
    const std::string& m_pattern;
    const bool m_recurse;
    const bool m_everything;
};

} // namespace

void CCleaningEngine::SweepFolder(const std::string& folder, const std::string& pattern, bool recurse)
{
    std::string working = folder;
    if (working.empty() || working.back() != '\\')
        working += '\\';
    std::string full;
    if (m_sys.GetFullPath(working, full) != 0 || full.empty())
        full = working;
    if (full.back() != '\\')
        full += '\\';

    if (MatchesEverything(pattern)) {
        const std::string canonical = Canonical(m_sys, full);
        if (IsVolumeRoot(canonical))
            return;
        if (HoldsSystemFolder(m_sys, canonical)) {
            Report("INFO: " + full + kLineFolderProtected);
            return;
        }
    }
    CFolderSweep(*this, pattern, recurse).Sweep(full);
}

void CCleaningEngine::RemoveFile(const std::string& path)
{
    if (IsNeverRemoved(path))
        return;
    FindEntry status;
    if (const OsError error = ReadStatus(m_sys, path, status); error != 0) {
        ReportFailure(*this, path, CFileException::FromOsError(error));
        return;
    }
    RemoveKnownFile(*this, path, status);
}
