#include "support/VisitRecorder.h"

#include "sys/NameCase.h"

std::vector<std::string> CVisitRecorder::SearchesUnder(const std::string& prefix) const
{
    std::vector<std::string> found;
    for (const std::string& pattern : searches) {
        if (StartsWithIgnoringAsciiCase(pattern, prefix))
            found.push_back(pattern);
    }
    return found;
}
