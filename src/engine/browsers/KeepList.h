#pragma once
// The sites whose cookies and site data a run keeps. A kept site "example.com" keeps the
// hosts "example.com", ".example.com" and every "*.example.com"; IP addresses and
// "localhost" are sites too.
//
// Usage:
//   std::optional<std::string> site = NormalisedSite("https://WWW.Example.com:8443/"); // "www.example.com"
//   CKeepList keep({"example.com", "localhost"});
//   keep.Keeps(".mail.example.com");  // true
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The site a typed entry names: letter case folded, blanks, a scheme, user, port, path and
// leading or trailing dots dropped, IPv6 brackets kept. Nothing when it names no site
// (empty, blanks or characters no host name holds, a wildcard in the middle).
std::optional<std::string> NormalisedSite(std::string_view typed);

class CKeepList {
public:
    // Each entry as NormalisedSite reads it; an entry that names no site keeps nothing.
    explicit CKeepList(const std::vector<std::string>& sites);
    // No entry was given at all (one that names no site still says the user keeps something).
    bool Empty() const;
    // The cookie host (with or without its leading dot) belongs to a kept site.
    bool Keeps(std::string_view host) const;

private:
    std::vector<std::string> m_sites; // as NormalisedSite gives them
    bool m_given;
};
