// Internet Explorer 4.x extensible caches: every subkey of the "Extensible Cache" key
// names a cache folder in "CachePath"; the files lying directly in it are removed.
#include "engine/run/CleaningEngine.h"

namespace {
constexpr const char* kExtensibleCacheKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Extensible Cache";
constexpr std::size_t kSubkeyNameBytes = 260; // longer names end the walk
} // namespace

void CCleaningEngine::SweepExtensibleCaches()
{
    // The walk stops at the first subkey it cannot enumerate; a missing key gives no names.
    std::vector<std::string> subkeys;
    m_sys.RegListSubkeys(kHkeyCurrentUser, kExtensibleCacheKey, kSubkeyNameBytes, subkeys);
    // A subkey without a "CachePath" string is not a cache: it is passed over.
    for (const std::string& subkey : subkeys) {
        try {
            const std::string cachePath =
                ReadRegistryString(kHkeyCurrentUser, std::string(kExtensibleCacheKey) + "\\" + subkey, "CachePath")
                    .value_or("");
            if (!cachePath.empty())
                SweepFolder(cachePath, "*", false);
        } catch (const CException&) {
            // A cache that cannot be read or swept ends there; the others still go.
        }
    }
}
