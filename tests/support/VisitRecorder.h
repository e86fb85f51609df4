#pragma once
// The real platform, with a record of every directory search the run starts, so a test
// sees which folders and patterns the catalogue chose. It can also stand in for a drive
// letter that Wine maps to the host's root, which a test cannot set up from inside Wine.
//
// Usage:
//   CVisitRecorder sys;
//   CCleaningEngine engine(sink, sys);
//   ... sys.SearchesUnder("D:\\") ...
#include "engine/removal/PathText.h"
#include "sys/NameCase.h"
#include "sys/Platform.h"

#include <string>
#include <vector>

class CVisitRecorder : public CPlatformDecorator {
public:
    CVisitRecorder() : CPlatformDecorator(Platform()) {}

    void* FindOpen(const std::string& pattern, FindEntry& first, OsError& error) override
    {
        searches.push_back(ShownPath(pattern));
        return CPlatformDecorator::FindOpen(pattern, first, error);
    }
    bool DriveIsHostRoot(const std::string& root) override
    {
        return (!hostRootDrive.empty() && SameIgnoringAsciiCase(root, hostRootDrive)) ||
               CPlatformDecorator::DriveIsHostRoot(root);
    }

    // Changes under refuseUnder are refused (access denied) and counted, so a test of a
    // guard cannot damage the prefix when the guard fails.
    OsError DeleteFileAt(const std::string& path) override
    {
        return Refused(path) ? kErrorAccessDenied : CPlatformDecorator::DeleteFileAt(path);
    }
    void* FileOpen(const std::string& path, FileMode mode, OsError& error) override
    {
        if ((mode == FileMode::RemoveEntry || mode == FileMode::OverwriteEntry) && Refused(path)) {
            error = kErrorAccessDenied;
            return nullptr;
        }
        return CPlatformDecorator::FileOpen(path, mode, error);
    }
    OsError RemoveFolder(const std::string& path) override
    {
        return Refused(path) ? kErrorAccessDenied : CPlatformDecorator::RemoveFolder(path);
    }
    OsError SetAttributes(const std::string& path, std::uint32_t attributes) override
    {
        return Refused(path) ? kErrorAccessDenied : CPlatformDecorator::SetAttributes(path, attributes);
    }

    // The searches whose pattern begins with prefix (letter case ignored), in order.
    std::vector<std::string> SearchesUnder(const std::string& prefix) const;

    std::vector<std::string> searches; // every FindOpen pattern as the user knows it, in order
    std::string hostRootDrive;         // e.g. "d:\": reported as the host's root
    std::string refuseUnder;           // a folder nothing under which may change
    int refusedChanges = 0;

private:
    bool Refused(const std::string& path)
    {
        if (refuseUnder.empty() || !StartsWithIgnoringAsciiCase(ShownPath(path), refuseUnder))
            return false;
        ++refusedChanges;
        return true;
    }
};
