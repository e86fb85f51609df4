#include "engine/CleaningEngine.h"

void CCleaningEngine::SweepFolder(const std::string&, const std::string&, bool) {}
void CCleaningEngine::RemoveFile(const std::string&) {}
