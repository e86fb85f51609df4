// The statements run inside places.sqlite, favicons.sqlite and formhistory.sqlite. Firefox
// keeps its tables in step with triggers and SQL functions that live only inside Firefox,
// so every table is changed here by its own statement, and each table is checked first.
#include "engine/browsers/FirefoxHistory.h"

#include <string>

namespace {

// Firefox's bookmark type for a bookmark (not a folder or a separator).
constexpr const char* kCountBookmarks = "SELECT count(*) FROM moz_bookmarks WHERE type = 1";

// Tables of history a newer Firefox adds, emptied when the file has them.
constexpr const char* kHistoryOnlyTables[] = {"moz_historyvisits_extra", "moz_inputhistory", "moz_places_metadata",
                                              "moz_places_metadata_search_queries"};
// Tables that hang off a place, cleared of the places removed.
constexpr const char* kPerPlaceTables[] = {"moz_annos", "moz_places_extra"};

void RequireColumns(CSqliteDatabase& db, const std::string& table, std::initializer_list<const char*> columns,
                    const std::string& schema = "main")
{
    if (!db.HasColumns(table, columns, schema))
        throw CUnknownSchema(schema + "." + table);
}

void CheckHistorySchema(CSqliteDatabase& db)
{
    RequireColumns(db, "moz_places",
                   {"id", "url", "foreign_count", "visit_count", "last_visit_date", "typed", "origin_id"});
    RequireColumns(db, "moz_historyvisits", {"id", "place_id"});
    RequireColumns(db, "moz_bookmarks", {"id", "type", "fk"});
    RequireColumns(db, "moz_keywords", {"id", "place_id"});
    RequireColumns(db, "moz_origins", {"id", "prefix", "host"});
    for (const char* table : kPerPlaceTables) {
        if (db.HasTable(table))
            RequireColumns(db, table, {"place_id"});
    }
}

bool FaviconsAttached(CSqliteDatabase& db)
{
    if (!db.HasTable("moz_icons", kFaviconsSchema))
        return false;
    RequireColumns(db, "moz_icons", {"id", "icon_url", "root"}, kFaviconsSchema);
    RequireColumns(db, "moz_pages_w_icons", {"id", "page_url"}, kFaviconsSchema);
    RequireColumns(db, "moz_icons_to_pages", {"page_id", "icon_id"}, kFaviconsSchema);
    return true;
}

void RemoveHistory(CSqliteDatabase& db)
{
    db.Exec("DELETE FROM moz_historyvisits");
    for (const char* table : kHistoryOnlyTables) {
        if (db.HasTable(table))
            db.Exec(("DELETE FROM " + std::string(table)).c_str());
    }
    // foreign_count is kept by Firefox's own triggers: the bookmarks and keywords are
    // asked as well, so that a count gone wrong never costs a bookmarked page.
    db.Exec("DELETE FROM moz_places WHERE foreign_count = 0"
            " AND id NOT IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL)"
            " AND id NOT IN (SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL)");
    for (const char* table : kPerPlaceTables) {
        if (db.HasTable(table))
            db.Exec(
                ("DELETE FROM " + std::string(table) + " WHERE place_id NOT IN (SELECT id FROM moz_places)").c_str());
    }
    db.Exec("UPDATE moz_places SET visit_count = 0, last_visit_date = NULL, typed = 0");
    // Firefox works a page's frecency out again when asked to.
    if (db.HasColumns("moz_places", {"recalc_frecency"}))
        db.Exec("UPDATE moz_places SET recalc_frecency = 1");
    db.Exec("DELETE FROM moz_origins WHERE id NOT IN (SELECT origin_id FROM moz_places WHERE origin_id IS NOT NULL)");
}

// The pages no longer in places.sqlite lose their icons; a site's root icon (its
// /favicon.ico, tied to no page) stays while the site has a page left.
void RemoveIconsOfPagesRemoved(CSqliteDatabase& db)
{
    db.Exec("DELETE FROM favicons.moz_pages_w_icons"
            " WHERE page_url NOT IN (SELECT url FROM main.moz_places WHERE url IS NOT NULL)");
    db.Exec("DELETE FROM favicons.moz_icons_to_pages WHERE page_id NOT IN (SELECT id FROM favicons.moz_pages_w_icons)");
    db.Exec("DELETE FROM favicons.moz_icons WHERE id NOT IN (SELECT icon_id FROM favicons.moz_icons_to_pages)"
            " AND (root = 0 OR NOT EXISTS (SELECT 1 FROM main.moz_origins AS o"
            " WHERE substr(icon_url, 1, length(o.prefix) + length(o.host) + 1) = o.prefix || o.host || '/'))");
}

} // namespace

DatabaseCounts CleanFirefoxHistory(CSqliteDatabase& db, bool preview)
{
    CheckHistorySchema(db);
    const bool favicons = FaviconsAttached(db);
    const DatabaseCounts counts{db.QueryInt("SELECT count(*) FROM moz_historyvisits"), db.QueryInt(kCountBookmarks)};
    if (!preview) {
        RemoveHistory(db);
        if (favicons)
            RemoveIconsOfPagesRemoved(db);
    }
    return counts;
}

DatabaseCounts CleanFirefoxFormHistory(CSqliteDatabase& db, bool preview)
{
    RequireColumns(db, "moz_formhistory", {"id", "fieldname", "value"});
    const DatabaseCounts counts{db.QueryInt("SELECT count(*) FROM moz_formhistory"), 0};
    if (!preview) {
        db.Exec("DELETE FROM moz_formhistory");
        // Where each entry was typed: the addresses of the pages.
        for (const char* table : {"moz_history_to_sources", "moz_sources"}) {
            if (db.HasTable(table))
                db.Exec(("DELETE FROM " + std::string(table)).c_str());
        }
    }
    return counts;
}
