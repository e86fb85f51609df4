#pragma once
// The fixture databases' schemas (tests/fixtures/browsers), embedded in the test programs.
#define IDR_FIXTURE_CHROMIUM_COOKIES 9101
#define IDR_FIXTURE_FIREFOX_COOKIES 9102
#define IDR_FIXTURE_FIREFOX_PLACES 9103
#define IDR_FIXTURE_FIREFOX_FAVICONS 9104
#define IDR_FIXTURE_FIREFOX_FORMHISTORY 9105
