// quibo-scores: the scores server. Takes the game's posts, keeps the scores, serves the pages.
#include "options.h"
#include "service.h"

#include "hostfolders.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <httplib.h>
#include <memory>
#include <pthread.h>
#include <string>
#include <thread>

namespace {

std::unique_ptr<ScoreStore> openStore(const OPTIONS& options, std::string& description)
{
    if (options.postgres) {
        description = "PostgreSQL";
        return OpenPostgresStore(options.conninfo);
    }
    const std::string path = options.sqlitePath.empty() ? HostDataFolder() + "/scores.db" : options.sqlitePath;
    description = path;
    return OpenSqliteStore(path);
}

} // namespace

int main(int argc, char** argv)
{
    OPTIONS options;
    std::string error;
    if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "quibo-scores: %s\n%s\n", error.c_str(), QUIBO_SCORES_USAGE);
        return 2;
    }
    if (options.help) {
        std::printf("%s\n", QUIBO_SCORES_USAGE);
        return 0;
    }

    // SIGTERM and SIGINT are taken by one waiting thread, never by whichever thread happens to
    // run: the mask is set before any thread starts, so every thread inherits it.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<ScoreStore> store;
    std::string storeName;
    try {
        store = openStore(options, storeName);
    } catch (const StoreError& failure) {
        std::fprintf(stderr, "quibo-scores: %s\n", failure.what());
        return 1;
    }

    httplib::Server server;
    ServeScores(server, *store);
    int port = options.port;
    if (port == 0)
        port = server.bind_to_any_port(options.host);
    else if (!server.bind_to_port(options.host, port))
        port = -1;
    if (port <= 0) {
        std::fprintf(stderr, "quibo-scores: cannot listen on %s:%d\n", options.host.c_str(), options.port);
        return 1;
    }
    const bool v6 = options.host.find(':') != std::string::npos;
    LogLine("quibo-scores: listening on http://" + (v6 ? "[" + options.host + "]" : options.host) + ":" + std::to_string(port)
            + ", scores in " + storeName);

    std::atomic<bool> signalled = false;
    std::thread stopper([&server, &stopSignals, &signalled] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        signalled = true;
        server.stop();
    });
    // Returns once the listener is closed and every request in progress has been answered.
    const bool served = server.listen_after_bind();
    // Ended without a signal: wake the waiting thread so that it can be joined.
    if (!signalled)
        pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    store.reset();
    LogLine("quibo-scores: stopped");
    return served ? 0 : 1;
}
