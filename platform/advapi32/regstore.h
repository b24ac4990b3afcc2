// The registry's store: one SQLite database in the data folder, shared by every process of
// the user. Each registry call is one transaction on this process's connection.
#pragma once

#include "windef.h"

#include <functional>
#include <sqlite3.h>
#include <string>
#include <string_view>

// Key ids of the hives; every other key hangs below one of them.
constexpr sqlite3_int64 kClassesRootId = 1;
constexpr sqlite3_int64 kCurrentUserId = 2;
constexpr sqlite3_int64 kLocalMachineId = 3;

// Runs body as one transaction and returns its result. A writing transaction takes the write
// lock at its start, so two processes wait for each other (up to a few seconds) instead of
// failing, and it commits only when body returns ERROR_SUCCESS; anything else rolls it back.
// A failure of the store itself comes back as ERROR_CANTOPEN, ERROR_CANTREAD or
// ERROR_CANTWRITE, or ERROR_BADDB when the database turns out damaged.
LONG InStoreTransaction(bool write, const std::function<LONG(sqlite3*)>& body);

// One prepared statement. Any unexpected SQLite result throws, which rolls the surrounding
// transaction back. The SQL is a string literal: its statement is prepared once and reused.
class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(sqlite3_int64 value);
    Statement& bind(std::string_view text);
    Statement& bindBlob(const void* data, size_t size);

    // Steps once: true when a row is ready, false when the statement is done.
    bool step();
    // Runs the statement to its end.
    void run();

    sqlite3_int64 integer(int column) const;
    std::string text(int column) const;
    const void* blob(int column) const;
    size_t bytes(int column) const;

private:
    sqlite3* m_db;
    const char* m_sql;
    sqlite3_stmt* m_stmt = nullptr;
    int m_next = 1;
};
