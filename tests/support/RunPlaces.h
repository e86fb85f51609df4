#pragma once
// Points every place a cleaning run visits at empty folders, so a run in the test prefix
// removes nothing of the prefix's own and writes no line of its own.
#include <string>

namespace testenv {

// Makes the folders (Cache, History, Cookies, Favorites, Recent, Temp) in a fresh test
// folder, points the profile's shell folders and cookie places at them, and sets TEMP
// and TMP of this process, which programs it starts inherit. Returns that folder.
std::string PointRunPlacesAtEmptyFolders();

} // namespace testenv
