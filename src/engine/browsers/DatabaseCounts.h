#pragma once
// What cleaning one database did, or in a preview would do.
#include <cstdint>
#include <stdexcept>

struct DatabaseCounts {
    std::int64_t removed = 0; // rows removed: history entries, cookies
    std::int64_t kept = 0;    // rows kept on purpose: bookmarks, kept sites' cookies
};

// The database lacks a table or column the cleaner needs (a newer or foreign schema):
// it is left as it was.
class CUnknownSchema : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
