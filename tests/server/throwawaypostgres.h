// A PostgreSQL server of the test's own: a fresh cluster in a temporary folder, reached only
// through a Unix socket in that folder (no network port at all), stopped and removed when
// the object goes. Root cannot run PostgreSQL, so as root the cluster belongs to "nobody".
#pragma once

#include <string>

class ThrowawayPostgres {
public:
    ThrowawayPostgres() = default;
    ThrowawayPostgres(const ThrowawayPostgres&) = delete;
    ThrowawayPostgres& operator=(const ThrowawayPostgres&) = delete;
    ~ThrowawayPostgres();

    // The folder of the newest installed server programs, or empty when none is installed.
    static std::string ProgramFolder();

    // Creates and starts the cluster; false with `error` set when that fails. `durable` keeps
    // the server's own syncs to disk (for measurements); tests do without them.
    bool Start(bool durable, std::string& error);
    // libpq connection string for the cluster's database.
    std::string Conninfo() const;

private:
    bool run(const std::string& what, const std::string& command, std::string& error) const;

    std::string m_folder;
    bool m_started = false;
};
