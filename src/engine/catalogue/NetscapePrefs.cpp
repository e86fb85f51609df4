// Removes the Netscape Navigator 4.x address history from the user's prefs.js: the
// filtered copy is written to newprefs.js and takes the file's place only once it is
// complete and on disk.
#include "engine/run/CleaningEngine.h"

#include "engine/catalogue/PrefsFilter.h"
#include "engine/removal/RemovalLines.h"
#include "resource.h"
#include "sys/FileHandles.h"
#include "sys/TextFormat.h"

#include <vector>

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

[[noreturn]] void RaiseFileError(OsError error)
{
    throw CFileException::FromOsError(error);
}

void Move(CPlatform& sys, const std::string& from, const std::string& to)
{
    if (OsError error = sys.MovePath(from, to))
        RaiseFileError(error);
}

void WritePending(CPlatform& sys, const CFileHandle& file, std::string& pending)
{
    if (pending.empty())
        return;
    if (OsError error = sys.FileWrite(file.Get(), pending.data(), pending.size()))
        RaiseFileError(error);
    pending.clear();
}

// Writes the filtered copy of `source` to `target` and flushes it to disk, or raises.
// A read or write error must never let a partial copy pass for the preferences.
void WriteFilteredCopy(CPlatform& sys, const std::string& source, const std::string& target)
{
    CFileHandle in(sys, source, FileMode::ReadShared);
    if (!in.IsOpen())
        RaiseFileError(in.OpenError());
    CFileHandle out(sys, target, FileMode::CreateShared);
    if (!out.IsOpen())
        RaiseFileError(out.OpenError());
    try {
        CPrefsLineFilter filter;
        std::vector<char> buffer(kReadChunk);
        std::string pending;
        for (;;) {
            std::size_t got = 0;
            if (OsError error = sys.FileRead(in.Get(), buffer.data(), buffer.size(), got))
                RaiseFileError(error);
            if (got == 0)
                break;
            filter.Feed(std::string_view(buffer.data(), got), pending);
            WritePending(sys, out, pending);
        }
        filter.Finish(pending);
        WritePending(sys, out, pending);
        if (OsError error = sys.FileFlush(out.Get()))
            RaiseFileError(error);
    } catch (const CFileException&) {
        out.Close();
        sys.DeleteFileAt(target); // half a copy is of no use to anyone
        throw;
    }
}

} // namespace

// What the rewrite would do: the run fails where prefs.js cannot be read, and counts and
// reports the unfiltered copy it removes, which has prefs.js's size.
void CCleaningEngine::PreviewPrefsRewrite(const std::string& prefsFile)
{
    CFileHandle in(m_sys, prefsFile, FileMode::ReadShared);
    if (!in.IsOpen())
        RaiseFileError(in.OpenError());
    std::uint64_t size = 0;
    if (OsError error = m_sys.FileSize(in.Get(), size))
        RaiseFileError(error);
    CountFile(size);
    ReportItem(RunAction::WouldRewrite, prefsFile, prefsFile + kLineHistoryWouldBeFiltered, size);
}

void CCleaningEngine::RewriteNetscapePrefs(const std::string& directory)
{
    if (directory.empty())
        return;
    const std::string prefsFile = directory + "\\prefs.js";
    const std::string cleanCopy = prefsFile + ".clean";
    std::uint32_t attributes = 0;
    if (m_sys.GetAttributes(cleanCopy, attributes) == 0) {
        // The user keeps a clean set of preferences; it replaces the file whole. A copy
        // that fails is not a history removed.
        if (Previewing())
            return;
        if (OsError error = m_sys.CopyPath(cleanCopy, prefsFile, false))
            RaiseFileError(error);
        return;
    }

    if (Previewing()) {
        PreviewPrefsRewrite(prefsFile);
        return;
    }
    const std::string newFile = directory + "\\newprefs.js";
    WriteFilteredCopy(m_sys, prefsFile, newFile);

    // The unfiltered file moves aside before the filtered copy takes its name, and goes
    // only after both renames: at every moment prefs.js or oldprefs.js is complete.
    const std::string oldFile = directory + "\\oldprefs.js";
    try {
        Move(m_sys, prefsFile, oldFile);
        Move(m_sys, newFile, prefsFile);
    } catch (const CFileException&) {
        Move(m_sys, oldFile, prefsFile);
        throw;
    }

    try {
        RemoveFile(oldFile);
    } catch (const CFileException&) {
        Report(ReplacePlaceholder(m_sys.LoadText(IDS_CANNOT_DELETE_TEMP), oldFile) + "\r\n");
        throw;
    }
}
