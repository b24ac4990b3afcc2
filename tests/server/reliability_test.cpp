// Many clients at once, and a server killed in the middle of their posts: every post the
// server answered with success is kept, exactly once.
#include "publishformat.h"
#include "serverprocess.h"
#include "storefixture.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <httplib.h>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using Reliability = EachStore;
using Clock = std::chrono::steady_clock;

constexpr int cCLIENTS = 8;
constexpr size_t cPOSTS_PER_CLIENT = 1250;

// Eight clients post new scores one after another, each until its last, its first failure or
// the deadline, while `beside` runs with the count answered so far (the caller's chance to kill
// the server). The scores answered as accepted.
template<typename Action> std::vector<STOREDSCORE> burst(int port, const std::string& tag, Action beside)
{
    const auto deadline = Clock::now() + std::chrono::seconds(150);
    std::atomic<size_t> answered = 0;
    std::vector<std::vector<STOREDSCORE>> accepted(cCLIENTS);
    std::vector<std::thread> clients;
    for (int c = 0; c < cCLIENTS; ++c) {
        clients.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", port);
            client.set_keep_alive(true);
            client.set_tcp_nodelay(true);
            client.set_connection_timeout(5);
            client.set_read_timeout(20);
            for (size_t i = 0; i < cPOSTS_PER_CLIENT && Clock::now() < deadline; ++i) {
                const STOREDSCORE score{tag + std::to_string(c) + "n" + std::to_string(i), static_cast<uint32_t>(100000 + i), 744000};
                const auto result = client.Get(PostOf({score}));
                if (!result || result->status != 200 || result->body.find("Accepted: <strong>1</strong>") == std::string::npos)
                    break;
                accepted[c].push_back(score);
                ++answered;
            }
        });
    }
    beside(answered);
    std::vector<STOREDSCORE> all;
    for (size_t c = 0; c < clients.size(); ++c) {
        clients[c].join();
        all.insert(all.end(), accepted[c].begin(), accepted[c].end());
    }
    return all;
}

} // namespace

TEST_P(Reliability, EveryAnsweredPostSurvivesAKillOnce)
{
    ServerProcess server;
    ASSERT_TRUE(server.Start(ServerArgs())) << server.Log();
    const std::vector<STOREDSCORE> first = burst(server.Port(), "first", [](std::atomic<size_t>&) {});
    ASSERT_EQ(first.size(), cCLIENTS * cPOSTS_PER_CLIENT);

    const std::vector<STOREDSCORE> second = burst(server.Port(), "second", [&server](std::atomic<size_t>& answered) {
        const auto until = Clock::now() + std::chrono::seconds(60);
        while (answered < 1000 && Clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        server.Kill();
    });
    EXPECT_GE(second.size(), 1000u);
    EXPECT_LT(second.size(), cCLIENTS * cPOSTS_PER_CLIENT) << "the kill came after the burst";

    ServerProcess restarted;
    ASSERT_TRUE(restarted.Start(ServerArgs())) << restarted.Log();
    httplib::Client client("127.0.0.1", restarted.Port());
    const auto again = client.Get(PostOf({second.back()}));
    EXPECT_NE((again ? again->body : "").find("Rejected as already published: <strong>1</strong>"), std::string::npos);
    EXPECT_EQ(restarted.Stop(), 0) << restarted.Log();

    std::set<std::string> stored;
    for (const STOREDSCORE& s : Open()->Best(SIZE_MAX))
        EXPECT_TRUE(stored.insert(s.name).second) << s.name << " stored twice";
    for (const auto* answered : {&first, &second})
        EXPECT_EQ(std::count_if(answered->begin(), answered->end(), [&](const STOREDSCORE& s) { return !stored.contains(s.name); }), 0)
            << "answered but lost";
}

INSTANTIATE_FOR_EACH_STORE(Reliability);
