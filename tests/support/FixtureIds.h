#pragma once
// The fixture databases' schemas (tests/fixtures/browsers), embedded in the test programs.
#define IDR_FIXTURE_CHROMIUM_COOKIES 9101
#define IDR_FIXTURE_FIREFOX_COOKIES 9102
