// Where the server keeps published scores: one small interface, an SQLite file by default or a
// PostgreSQL database for a community that outgrows one machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// A score as kept: the name as published ("@" for a space). The three fields together
// identify it: the same entry published again is the same score.
struct STOREDSCORE {
    std::string name;
    uint32_t score;
    uint32_t date;

    bool operator==(const STOREDSCORE&) const = default;
};

// The store could not be opened, read or written; the message says why.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Safe to call from several threads at once.
class ScoreStore {
public:
    virtual ~ScoreStore() = default;
    // Stores the scores not stored yet, in one transaction: on failure (StoreError) none is
    // stored. Returns how many were new.
    virtual size_t Add(const std::vector<STOREDSCORE>& scores) = 0;
    // The best `count` scores: lowest time first, then the earlier date, then by name.
    virtual std::vector<STOREDSCORE> Best(size_t count) = 0;
};

// Both create the table when missing and throw StoreError when the store cannot be used.
std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path);
std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& conninfo);
