#include "engine/browsers/KeepList.h"

#include "sys/NameCase.h"

#include <algorithm>

namespace {

constexpr std::size_t kLongestHost = 253;

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The host part of a typed address: after a scheme and a user, before a path or a port.
std::string_view HostPart(std::string_view text)
{
    if (const std::size_t scheme = text.find("://"); scheme != std::string_view::npos)
        text.remove_prefix(scheme + 3);
    text = text.substr(0, text.find_first_of("/?#"));
    if (const std::size_t user = text.rfind('@'); user != std::string_view::npos)
        text.remove_prefix(user + 1);
    if (text.starts_with('[')) // an IPv6 address, maybe with a port after the bracket
        return text.substr(1, text.find(']') == std::string_view::npos ? text.size() : text.find(']') - 1);
    if (std::count(text.begin(), text.end(), ':') > 1) // a bare IPv6 address: every colon is its own
        return text;
    return text.substr(0, text.find(':'));
}

bool IsHostCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == ':';
}

// Chromium keeps an IPv6 host in brackets, Firefox without.
std::string_view WithoutBrackets(std::string_view host)
{
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        return host.substr(1, host.size() - 2);
    return host;
}

} // namespace

std::optional<std::string> NormalisedSite(std::string_view typed)
{
    std::string_view host = HostPart(Trimmed(typed));
    if (host.starts_with("*."))
        host.remove_prefix(2);
    while (host.starts_with('.'))
        host.remove_prefix(1);
    while (host.ends_with('.'))
        host.remove_suffix(1);
    const std::string site = Lowered(std::string(host));
    if (site.empty() || site.size() > kLongestHost || !std::all_of(site.begin(), site.end(), IsHostCharacter) ||
        site.find("..") != std::string::npos)
        return std::nullopt;
    // A colon belongs to an IPv6 address only, and that has no dots before its last colon.
    if (site.find(':') != std::string::npos && site.rfind('.') != std::string::npos && site.find('.') < site.rfind(':'))
        return std::nullopt;
    return site;
}

CKeepList::CKeepList(const std::vector<std::string>& sites) : m_given(!sites.empty())
{
    for (const std::string& entry : sites) {
        if (std::optional<std::string> site = NormalisedSite(entry))
            m_sites.push_back(std::move(*site));
    }
}

bool CKeepList::Empty() const
{
    return !m_given;
}

bool CKeepList::Keeps(std::string_view host) const
{
    std::string_view bare = WithoutBrackets(host);
    if (bare.starts_with('.'))
        bare.remove_prefix(1);
    const std::string folded = Lowered(std::string(bare));
    return std::any_of(m_sites.begin(), m_sites.end(), [&](const std::string& site) {
        return folded == site || (folded.size() > site.size() && folded.ends_with(site) &&
                                  folded[folded.size() - site.size() - 1] == '.');
    });
}
