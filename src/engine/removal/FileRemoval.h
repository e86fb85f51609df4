#pragma once
// File removal: the folder sweep and the removal of one file, with the overwrite, the
// report line of every file and subfolder, and the restart list for whatever is in use.
//
// Usage:
//   CFileRemoval(host).Sweep("c:\\temp\\", sweep);
//   CFileRemoval(host).RemoveFile("c:\\temp\\a.tmp");
#include "engine/core/RemovalHost.h"
#include "engine/removal/SweepOptions.h"

#include <string>

class CFileRemoval {
public:
    explicit CFileRemoval(IRemovalHost& host) : m_host(host) {}

    // The catalogue's plain sweep: one pattern; "*" takes the emptied subfolders too.
    void SweepFolder(const std::string& folder, const std::string& pattern, bool recurse);
    void Sweep(const std::string& folder, const SweepOptions& sweep);
    void RemoveFile(const std::string& path);

private:
    // False when this run has already swept the folder (literal, with its backslash) with
    // the same patterns and depth; notes it otherwise.
    bool FirstSweepOf(const std::string& literalFolder, const SweepOptions& sweep);

    IRemovalHost& m_host;
};
