// Stands in for profile discovery until it joins this branch, so that the programs link.
#include "engine/browsers/BrowserProfiles.h"

std::vector<BrowserProfile> FindBrowserProfiles(CPlatform&)
{
    return {};
}
