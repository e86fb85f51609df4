#pragma once
// The profiles of the browsers installed for the current user: where a run finds them
// unless it is given others.
#include "engine/browsers/ProfileSource.h"

class CInstalledProfiles : public IProfileSource {
public:
    explicit CInstalledProfiles(CPlatform& sys) : m_sys(sys) {}
    std::vector<BrowserProfile> Profiles() override { return FindBrowserProfiles(m_sys); }
    bool InUse(const BrowserProfile& profile) override { return ProfileInUse(m_sys, profile); }

private:
    CPlatform& m_sys;
};
