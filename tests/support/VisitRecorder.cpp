#include "support/VisitRecorder.h"

#include <algorithm>
#include <cctype>

bool CVisitRecorder::SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::vector<std::string> CVisitRecorder::SearchesUnder(const std::string& prefix) const
{
    std::vector<std::string> found;
    for (const std::string& pattern : searches) {
        if (pattern.size() >= prefix.size() && SameText(pattern.substr(0, prefix.size()), prefix))
            found.push_back(pattern);
    }
    return found;
}
