#pragma once
// The current user's profiles of the browsers the program knows, and whether the browser
// has one open right now.
//
// Usage:
//   for (const BrowserProfile& profile : FindBrowserProfiles(sys))
//       if (!ProfileInUse(sys, profile)) ...
#include "sys/Platform.h"

#include <string>
#include <vector>

enum class BrowserFamily { Chromium, Firefox };

struct BrowserProfile {
    // The product, as the built-in entries name it: "Google Chrome", "Microsoft Edge",
    // "Brave", "Opera", "Opera GX", "Vivaldi", "Mozilla Firefox".
    std::string product;
    // The browser as its user knows it, in messages: "Chrome", "Chrome Beta", "Edge Dev",
    // "Firefox", "Opera GX"...
    std::string browser;
    BrowserFamily family = BrowserFamily::Chromium;
    // The folder that holds the profile's databases: Chromium's "Default" or "Profile N"
    // (Opera's "Opera Stable" itself when it has no "Default"); Firefox's profile folder.
    std::string profileDir;
    // The profile's caches when they live apart from it (under Local AppData); "" if not.
    std::string cacheDir;
    // The file the browser holds open while it has the profile: the user-data folder's
    // "lockfile" for Chromium, the profile's "parent.lock" for Firefox.
    std::string lockFile;
};

// Every profile found, in a stable order: product, channel, then profile folder.
std::vector<BrowserProfile> FindBrowserProfiles(CPlatform& sys);

// The browser has the profile: its lock file exists and cannot be opened exclusively.
// A browser that runs in the background without a window holds it too.
bool ProfileInUse(CPlatform& sys, const BrowserProfile& profile);
