// The scores server with each store: posts per second through HTTP on loopback (one client,
// and eight at once), and the time to build the scores page from 100000 stored scores.
// The SQLite file lies on disk and the PostgreSQL server syncs as a real one does.
#include "publishformat.h"
#include "service.h"
#include "throwawaypostgres.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <httplib.h>
#include <libpq-fe.h>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr size_t cSTORED = 100000;

enum STOREKIND { SQLITE, POSTGRES };

// Everything the benchmarks start, stopped and removed at exit.
struct Lab {
    Lab()
    {
        char pattern[] = "/tmp/quibo-bench-XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        folder = pattern;
    }
    ~Lab()
    {
        for (auto& s : servers)
            if (s) {
                s->http.stop();
                s->thread.join();
            }
        postgres.reset();
        std::filesystem::remove_all(folder);
    }

    struct Served {
        std::unique_ptr<ScoreStore> store;
        httplib::Server http;
        std::thread thread;
        int port = 0;
    };

    std::unique_ptr<ScoreStore> openStore(STOREKIND kind, const std::string& name)
    {
        if (kind == SQLITE)
            return OpenSqliteStore(folder + "/" + name + ".db");
        if (!postgres) {
            postgres = std::make_unique<ThrowawayPostgres>();
            std::string error;
            if (!postgres->Start(true, error)) {
                std::fprintf(stderr, "cannot start PostgreSQL: %s\n", error.c_str());
                std::exit(1);
            }
        }
        // One database per store, so the benchmarks do not see each other's scores.
        const std::string conninfo = postgres->Conninfo();
        PGconn* conn = PQconnectdb(conninfo.c_str());
        PQclear(PQexec(conn, ("CREATE DATABASE " + name).c_str()));
        PQfinish(conn);
        return OpenPostgresStore(conninfo + " dbname=" + name);
    }

    Served& served(STOREKIND kind)
    {
        std::lock_guard<std::mutex> guard(lock);
        std::unique_ptr<Served>& s = servers[kind];
        if (!s) {
            s = std::make_unique<Served>();
            s->store = openStore(kind, kind == SQLITE ? "posts_sqlite" : "posts_pg");
            ServeScores(s->http, *s->store);
            s->http.set_logger([](const httplib::Request&, const httplib::Response&) {});
            s->port = s->http.bind_to_any_port("127.0.0.1");
            s->thread = std::thread([&http = s->http] { http.listen_after_bind(); });
        }
        return *s;
    }

    std::string folder;
    std::unique_ptr<ThrowawayPostgres> postgres;
    std::unique_ptr<Served> servers[2];
    std::mutex lock;
};

Lab& lab()
{
    static Lab instance;
    return instance;
}

std::atomic<uint32_t> g_nextScore = 1;

void BM_Post(benchmark::State& state, STOREKIND kind)
{
    const int port = lab().served(kind).port;
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    for (auto _ : state) {
        const uint32_t score = g_nextScore++;
        const std::string name = "Bench" + std::to_string(score);
        const std::string target
            = std::string(SCORES_POST_PATH) + "?" + PostQuery("en", {{name, score, 744000, PublishCheck(name, score, 744000)}});
        const auto result = client.Get(target);
        if (!result || result->status != 200) {
            state.SkipWithError("post failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_Post, sqlite, SQLITE)->Threads(1)->Threads(8)->UseRealTime()->MinTime(3);
BENCHMARK_CAPTURE(BM_Post, postgres, POSTGRES)->Threads(1)->Threads(8)->UseRealTime()->MinTime(3);

void BM_ScoresPage(benchmark::State& state, STOREKIND kind)
{
    static std::unique_ptr<ScoreStore> stores[2];
    std::unique_ptr<ScoreStore>& store = stores[kind];
    if (!store) {
        store = lab().openStore(kind, kind == SQLITE ? "page_sqlite" : "page_pg");
        std::vector<STOREDSCORE> chunk;
        for (size_t i = 0; i < cSTORED; ++i) {
            // Scattered times, so that the best hundred are spread through the input.
            chunk.push_back({"Player" + std::to_string(i), static_cast<uint32_t>((i * 2654435761u) % 3600000u),
                             static_cast<uint32_t>(744000 + i % 365)});
            if (chunk.size() == 1000) {
                store->Add(chunk);
                chunk.clear();
            }
        }
    }
    size_t bytes = 0;
    for (auto _ : state) {
        const PAGE page = Respond(*store, "/quibo/scores-en.html");
        bytes = page.html.size();
        benchmark::DoNotOptimize(page);
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK_CAPTURE(BM_ScoresPage, sqlite, SQLITE)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ScoresPage, postgres, POSTGRES)->Unit(benchmark::kMicrosecond);

} // namespace
