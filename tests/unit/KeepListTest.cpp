// Which cookie hosts a keep list keeps, and how a typed site is read.
#include "engine/browsers/KeepList.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(KeepList, AKeptSiteKeepsItselfAndItsSubdomainsOnly)
{
    const CKeepList keep({"example.com", "localhost", "192.168.1.10", "::1", "Mail.Org"});
    const struct {
        const char* host;
        bool kept;
    } cases[] = {
        {"example.com", true},
        {".example.com", true},
        {"www.example.com", true},
        {".a.b.example.com", true},
        {"EXAMPLE.COM", true},
        {"badexample.com", false},
        {"example.com.evil.net", false},
        {"example.co", false},
        {"com", false},
        {"localhost", true},
        {"localhost.example", false},
        {"192.168.1.10", true},
        {"192.168.1.100", false},
        {"[::1]", true},
        {"::1", true},
        {".MAIL.ORG", true},
        {"", false},
        {".", false},
    };
    for (const auto& [host, kept] : cases)
        EXPECT_EQ(keep.Keeps(host), kept) << host;
}

TEST(KeepList, ATypedSiteIsNormalisedAndJunkNamesNoSite)
{
    const struct {
        std::string typed;
        std::optional<std::string> site;
    } cases[] = {
        {"example.com", "example.com"},
        {"  Example.COM ", "example.com"},
        {".example.com", "example.com"},
        {"*.example.com", "example.com"},
        {"example.com.", "example.com"},
        {"http://user:pw@Shop.Example.com:8443/cart?x=1#top", "shop.example.com"},
        {"example.com:8080", "example.com"},
        {"localhost:3000", "localhost"},
        {"127.0.0.1", "127.0.0.1"},
        {"[::1]:8080", "::1"},
        {"http://[2001:db8::7]/", "2001:db8::7"},
        {"fe80::1", "fe80::1"},
        {"   ", std::nullopt},
        {"https://", std::nullopt},
        {"exa mple.com", std::nullopt},
        {"ex*ample.com", std::nullopt},
        {"a..b", std::nullopt},
        {"caf\xc3\xa9.fr", std::nullopt},
        {"a.b:c:d", std::nullopt},
        {std::string(300, 'a'), std::nullopt},
    };
    for (const auto& [typed, site] : cases)
        EXPECT_EQ(NormalisedSite(typed), site) << typed;

    // A stored entry in a typed form keeps what its site keeps; one that names no site keeps
    // nothing, yet the list is not empty.
    const CKeepList typed({"HTTPS://Example.com:443/", "not a site"});
    EXPECT_TRUE(typed.Keeps("www.example.com"));
    EXPECT_FALSE(typed.Keeps("not a site"));
    EXPECT_FALSE(typed.Empty());
    EXPECT_TRUE(CKeepList({}).Empty());
}
