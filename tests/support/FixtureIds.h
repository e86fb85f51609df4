#pragma once
// The test program's own resources: the browsers' schemas the fixture databases are built from.
#define IDR_FIXTURE_FIREFOX_PLACES 9101
#define IDR_FIXTURE_FIREFOX_FAVICONS 9102
#define IDR_FIXTURE_FIREFOX_FORMHISTORY 9103
