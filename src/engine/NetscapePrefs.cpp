#include "engine/CleaningEngine.h"

void CCleaningEngine::RewriteNetscapePrefs(const std::string&) {}
