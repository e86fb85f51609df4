#pragma once
// The folders no rule may sweep wholesale: every drive's top, the Windows folder and the
// system's own folders in it, the program folders, ProgramData, the Users folder with
// every profile in it, and the profile's known folders. They are compared by what they
// are (volume serial and file index), so no spelling passes: an 8.3 name, a device path,
// a path through a link.
//
// Usage:
//   CProtectedFolders protectedFolders(sys); // reads the set once
//   if (protectedFolders.Contains("C:\\Users\\me\\")) ...
#include "sys/Platform.h"

#include <string>
#include <vector>

class CProtectedFolders {
public:
    explicit CProtectedFolders(CPlatform& sys);

    // folder: a full path. False when the folder cannot be opened (nothing there to sweep).
    bool Contains(const std::string& folder) const;

private:
    void Add(const std::string& folder);

    CPlatform& m_sys;
    std::vector<FileInfo> m_folders;
};
