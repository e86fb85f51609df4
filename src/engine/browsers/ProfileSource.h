#pragma once
// Where a run finds the browsers' profiles and learns whether a browser has one open.
// The programs pass the installed browsers; tests pass profiles of their own.
//
// Usage:
//   engine.UseProfiles(source); // the programs: FindBrowserProfiles and ProfileInUse
#include "engine/browsers/BrowserProfiles.h"

#include <vector>

class IProfileSource {
public:
    virtual ~IProfileSource() = default;
    virtual std::vector<BrowserProfile> Profiles() = 0;
    virtual bool InUse(const BrowserProfile& profile) = 0;
};
