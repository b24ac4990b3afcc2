// Many clients at once, and a server killed in the middle of their posts: every post the
// server answered with success is kept, exactly once.
#include "publishformat.h"
#include "serverprocess.h"
#include "storefixture.h"

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

// Posts one new score after another until `count`, the first failure or the deadline;
// returns those answered as accepted.
std::vector<STOREDSCORE> postScores(int port, const std::string& prefix, size_t count, Clock::time_point deadline,
                                    std::atomic<size_t>& answered)
{
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    client.set_connection_timeout(5);
    client.set_read_timeout(20);
    std::vector<STOREDSCORE> accepted;
    for (size_t i = 0; i < count && Clock::now() < deadline; ++i) {
        const STOREDSCORE score{prefix + "n" + std::to_string(i), static_cast<uint32_t>(100000 + i), 744000};
        const auto result = client.Get(PostOf({score}));
        if (!result || result->status != 200 || result->body.find("Accepted: <strong>1</strong>") == std::string::npos)
            break;
        accepted.push_back(score);
        ++answered;
    }
    return accepted;
}

// Eight clients at once; `stopWhen` runs beside them (the caller's chance to kill the server).
template<typename Action> std::vector<STOREDSCORE> burst(int port, const std::string& tag, Action stopWhen)
{
    const auto deadline = Clock::now() + std::chrono::seconds(150);
    std::atomic<size_t> answered = 0;
    std::vector<std::vector<STOREDSCORE>> accepted(cCLIENTS);
    std::vector<std::thread> clients;
    for (int c = 0; c < cCLIENTS; ++c) {
        clients.emplace_back([&, c] { accepted[c] = postScores(port, tag + std::to_string(c), cPOSTS_PER_CLIENT, deadline, answered); });
    }
    stopWhen(answered);
    for (std::thread& client : clients)
        client.join();
    std::vector<STOREDSCORE> all;
    for (const auto& some : accepted)
        all.insert(all.end(), some.begin(), some.end());
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
    ASSERT_TRUE(again);
    EXPECT_NE(again->body.find("Rejected as already published: <strong>1</strong>"), std::string::npos);
    EXPECT_EQ(restarted.Stop(), 0) << restarted.Log();

    const std::vector<STOREDSCORE> stored = Open()->Best(SIZE_MAX);
    std::set<std::string> names;
    for (const STOREDSCORE& s : stored)
        EXPECT_TRUE(names.insert(s.name).second) << s.name << " stored twice";
    size_t missing = 0;
    for (const auto* answered : {&first, &second})
        for (const STOREDSCORE& s : *answered)
            missing += names.count(s.name) ? 0 : 1;
    EXPECT_EQ(missing, 0u);
}

INSTANTIATE_FOR_EACH_STORE(Reliability);
