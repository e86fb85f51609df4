-- The benchmark's browser data, added to databases built from the browsers' schemas
-- (tests/fixtures/browsers), the schema files' own rows removed first:
-- places.sqlite of 50,000 places, 100,000 visits and 1,000 bookmarks (on the first
-- 1,000 places), and cookies.sqlite of 10,000 cookies over 1,000 sites. Run by
-- tools/bench.sh with the places database as "main" and the cookies one as "cookies".
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500)
INSERT INTO moz_origins (id, prefix, host, frecency) SELECT i, 'https://', 'site' || i || '.example', 100 FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50000)
INSERT INTO moz_places (id, url, title, rev_host, visit_count, frecency, last_visit_date, guid, foreign_count,
                        url_hash, origin_id)
SELECT i, 'https://site' || (i % 500 + 1) || '.example/page/' || i, 'Page ' || i,
       'elpmaxe.' || (i % 500 + 1) || 'etis.', 2, 100, 1700000000000000 + i * 2000000, printf('bnchPl%06d', i),
       i <= 1000, i, i % 500 + 1
FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)
INSERT INTO moz_historyvisits (id, from_visit, place_id, visit_date, visit_type, session)
SELECT i, 0, (i - 1) % 50000 + 1, 1700000000000000 + i * 1000000, 1, 0 FROM n;
-- Of the schema file's rows only Firefox's bookmark roots stay; the bookmarks go on the toolbar and
-- in "other bookmarks".
DELETE FROM moz_bookmarks WHERE guid NOT IN ('root________', 'menu________', 'toolbar_____', 'tags________',
                                             'unfiled_____', 'mobile______');
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000)
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, dateAdded, lastModified, guid)
SELECT 100 + i, 1, i, (SELECT id FROM moz_bookmarks WHERE guid = CASE i % 2 WHEN 1 THEN 'toolbar_____' ELSE
       'unfiled_____' END), (i - 1) / 2, 'Bookmark ' || i, 1700000000000000, 1700000000000000, printf('bnchBm%06d', i)
FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)
INSERT INTO cookies.moz_cookies (id, name, value, host, path, expiry, lastAccessed, creationTime, isSecure, isHttpOnly)
SELECT i, 'c' || i, hex(randomblob(16)), '.site' || (i % 1000) || '.example', '/', 1900000000,
       1700000000000000 + i, 1700000000000000 + i, 1, 0
FROM n;
COMMIT;
