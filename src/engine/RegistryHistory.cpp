#include "engine/CleaningEngine.h"

void CCleaningEngine::CleanRegistryHistory(const std::string&, const std::string&) {}
