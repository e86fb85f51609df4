#pragma once
// The sites whose cookies and site data a run keeps. A kept site "example.com" keeps the
// hosts "example.com", ".example.com" and every "*.example.com"; IP addresses and
// "localhost" are sites too.
#include <string>
#include <string_view>
#include <vector>

class CKeepList {
public:
    explicit CKeepList(const std::vector<std::string>& sites);
    bool Empty() const;
    // The cookie host (with or without its leading dot) belongs to a kept site.
    bool Keeps(std::string_view host) const;

private:
    std::vector<std::string> m_sites; // folded, without a leading dot
};
