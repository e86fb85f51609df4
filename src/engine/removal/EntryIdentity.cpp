#include "engine/removal/EntryIdentity.h"

#include "sys/FileHandles.h"

std::string ResolvedFolder(CPlatform& sys, const std::string& literalFolder)
{
    // Without the trailing backslash the folder's own entry opens, not what it may link to;
    // a drive's root keeps it ("\\?\C:" names the volume device).
    std::string own = literalFolder;
    if (own.size() > 1 && own.back() == '\\' && own[own.size() - 2] != ':')
        own.pop_back();
    CFileHandle folder(sys, own, FileMode::InspectEntry);
    std::string resolved;
    if (!folder.IsOpen() || sys.FileObjectName(folder.Get(), resolved) != 0)
        return {};
    if (!resolved.empty() && resolved.back() == '\\')
        resolved.pop_back();
    return resolved;
}

bool IsEntryOf(CPlatform& sys, void* handle, const std::string& resolvedFolder, const std::string& name)
{
    // Wine names "a." and "b " without their trailing dots and blanks.
    const std::size_t end = name.find_last_not_of(". ");
    std::string resolved;
    return !resolvedFolder.empty() && end != std::string::npos && sys.FileObjectName(handle, resolved) == 0 &&
           (resolved == resolvedFolder + '\\' + name || resolved == resolvedFolder + '\\' + name.substr(0, end + 1));
}

bool IsOwnEntry(CPlatform& sys, const std::string& literalPath)
{
    const std::size_t cut = literalPath.rfind('\\');
    // The name as the folder holds it: the path may spell it in another letter case.
    CFileFind found(sys, literalPath);
    if (cut == std::string::npos || !found.Found())
        return false;
    CFileHandle entry(sys, literalPath, FileMode::InspectEntry);
    return entry.IsOpen() &&
           IsEntryOf(sys, entry.Get(), ResolvedFolder(sys, literalPath.substr(0, cut + 1)), found.Entry().name);
}
