#include "engine/removal/SweepGuards.h"

#include "sys/FileHandles.h"

#include <algorithm>
#include <array>

std::optional<FileInfo> Identity(CPlatform& sys, const std::string& path)
{
    CFileHandle handle(sys, path, FileMode::Inspect);
    FileInfo info;
    if (!handle.IsOpen() || sys.FileInformation(handle.Get(), info) != 0)
        return std::nullopt;
    return info;
}

namespace {

// The folder's own path without its trailing backslash, where the attributes of a link
// show (with the backslash, the system looks through the link). A drive's root keeps it:
// "\\?\C:" names the volume device, not its top folder.
std::string OwnPath(const std::string& literalFolder)
{
    const std::string bare = literalFolder.substr(0, literalFolder.size() - 1);
    return !bare.empty() && bare.back() == ':' ? literalFolder : bare;
}

bool IsVolumeRoot(CPlatform& sys, const std::string& literalFolder, const FileInfo& folder, bool& known)
{
    std::string root;
    std::optional<FileInfo> rootInfo;
    known = sys.GetVolumeRoot(literalFolder, root) == 0 && (rootInfo = Identity(sys, root)).has_value();
    return known && rootInfo->SameFile(folder);
}

// The folder is one of the protected folders or one of their parents up to the root.
bool HoldsSystemFolder(CPlatform& sys, const FileInfo& folder)
{
    const std::array<std::string, 3> protectedFolders = {sys.WindowsDirectory(), sys.SystemDirectory(),
                                                         sys.ProfileDirectory()};
    for (const std::string& kept : protectedFolders) {
        std::string path;
        if (kept.empty() || sys.GetFullPath(kept, path) != 0)
            continue;
        while (path.size() > 3 && path.back() == '\\')
            path.pop_back();
        for (;;) {
            const std::optional<FileInfo> info = Identity(sys, path.back() == '\\' ? path : path + "\\");
            if (info && info->SameFile(folder))
                return true;
            const std::size_t cut = path.rfind('\\');
            if (cut == std::string::npos || cut + 1 == path.size())
                break; // the root has been compared
            // "C:\windows" goes up to "C:\", the drive's root, never to "C:", its current folder.
            path.resize(cut > 0 && path[cut - 1] == ':' ? cut + 1 : cut);
        }
    }
    return false;
}

} // namespace

SweepStart CheckSweepStart(CPlatform& sys, const std::string& literalFolder, bool wholeFolder)
{
    std::uint32_t attributes = 0;
    if (sys.GetAttributes(OwnPath(literalFolder), attributes) != 0 || !(attributes & kAttrDirectory))
        return SweepStart::Missing;
    if (attributes & kAttrReparsePoint)
        return SweepStart::Link;
    if (!wholeFolder)
        return SweepStart::Allowed;

    const std::optional<FileInfo> folder = Identity(sys, literalFolder);
    if (!folder)
        return SweepStart::Unidentified;
    bool rootKnown = false;
    if (IsVolumeRoot(sys, literalFolder, *folder, rootKnown))
        return SweepStart::VolumeRoot;
    if (!rootKnown)
        return SweepStart::Unidentified;
    return HoldsSystemFolder(sys, *folder) ? SweepStart::Protected : SweepStart::Allowed;
}

bool MatchesEverything(const std::string& pattern)
{
    return pattern == "*" || pattern == "*.*";
}

bool MatchesEverything(const std::vector<std::string>& patterns)
{
    return std::any_of(patterns.begin(), patterns.end(), [](const std::string& p) { return MatchesEverything(p); });
}
