#include "throwawaypostgres.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pwd.h>
#include <unistd.h>

namespace {

// Only paths we made ourselves are put in commands, but quote them all the same.
std::string quoted(const std::string& text)
{
    std::string result = "'";
    for (char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

std::string ThrowawayPostgres::ProgramFolder()
{
    std::error_code ignored;
    std::string best;
    int bestVersion = -1;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ignored)) {
        const std::string version = entry.path().filename().string();
        const std::filesystem::path bin = entry.path() / "bin";
        if (version == std::to_string(std::atoi(version.c_str())) && std::atoi(version.c_str()) > bestVersion
            && std::filesystem::exists(bin / "initdb") && std::filesystem::exists(bin / "pg_ctl")) {
            bestVersion = std::atoi(version.c_str());
            best = bin.string();
        }
    }
    return best;
}

bool ThrowawayPostgres::run(const std::string& what, const std::string& command, std::string& error) const
{
    const std::string as = geteuid() == 0 ? "runuser -u nobody -- " : "";
    const std::string log = m_folder + "/" + what + ".log";
    const std::string line = "cd " + quoted(m_folder) + " && " + as + command + " >" + quoted(log) + " 2>&1";
    if (std::system(line.c_str()) == 0)
        return true;
    error = what + " failed: " + readFile(log) + readFile(m_folder + "/server.log");
    return false;
}

bool ThrowawayPostgres::Start(bool durable, std::string& error)
{
    const std::string bin = ProgramFolder();
    char pattern[] = "/tmp/quibo-pg-XXXXXX";
    if (bin.empty() || !mkdtemp(pattern)) {
        error = bin.empty() ? "PostgreSQL is not installed" : "cannot make a temporary folder";
        return false;
    }
    m_folder = pattern;
    const passwd* nobody = geteuid() == 0 ? getpwnam("nobody") : nullptr;
    if (geteuid() == 0 && (!nobody || chown(pattern, nobody->pw_uid, nobody->pw_gid) != 0)) {
        error = "cannot hand " + m_folder + " to the user nobody";
        return false;
    }
    const std::string data = quoted(m_folder + "/data"),
                      settings = "-k " + m_folder + " -c listen_addresses= " + (durable ? "" : "-c fsync=off");
    m_started = run("initdb", quoted(bin + "/initdb") + " -D " + data + " -U quibo --auth=trust --no-sync -E UTF8 --locale=C", error)
                && run("start",
                       quoted(bin + "/pg_ctl") + " -D " + data + " -l " + quoted(m_folder + "/server.log") + " -w -t 60 -o "
                           + quoted(settings) + " start",
                       error);
    return m_started;
}

std::string ThrowawayPostgres::Conninfo() const
{
    return "host=" + m_folder + " dbname=postgres user=quibo connect_timeout=10";
}

ThrowawayPostgres::~ThrowawayPostgres()
{
    std::string ignored;
    if (m_started)
        run("stop", quoted(ProgramFolder() + "/pg_ctl") + " -D " + quoted(m_folder + "/data") + " -m immediate -w stop", ignored);
    std::error_code unused;
    if (!m_folder.empty())
        std::filesystem::remove_all(m_folder, unused);
}
