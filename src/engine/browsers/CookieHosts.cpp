#include "engine/browsers/CookieHosts.h"

#include "engine/browsers/DatabaseCounts.h"

CookieTable CookieTableOf(BrowserFamily family)
{
    return family == BrowserFamily::Firefox ? CookieTable{"moz_cookies", "host"} : CookieTable{"cookies", "host_key"};
}

std::string CookieHostExpression(const CookieTable& cookies)
{
    return std::string("ifnull(") + cookies.hostColumn + ", '')";
}

void ForEachCookieHost(CSqliteDatabase& db, BrowserFamily family, const std::function<void(const HostCookies&)>& visit)
{
    const CookieTable cookies = CookieTableOf(family);
    if (!db.HasColumns(cookies.table, {cookies.hostColumn}))
        throw CUnknownSchema(std::string(cookies.table) + "." + cookies.hostColumn);
    CSqliteStatement query = db.Prepare(
        ("SELECT " + CookieHostExpression(cookies) + ", count(*) FROM " + cookies.table + " GROUP BY 1").c_str());
    while (query.Step())
        visit({query.Text(0), query.Int(1)});
}
