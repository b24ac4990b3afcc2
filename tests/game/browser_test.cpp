#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "browser.h"
#include "highscores.h"
#include "language.h"
#include "publish.h"
#include "records.h"
#include "test_env.h"

namespace {

// A stand-in browser that writes down the address it is given.
class Browser : public testing::Test {
protected:
    void SetUp() override
    {
        GameKey().erase();
        registry::key(u"HKLM\\Software\\Zelnor\\NLS").erase();
        SelectLanguage("Quibo", 1);
        DefaultSettings();
        DefaultHighScores();

        m_opened = TestRoot() / "opened.txt";
        std::filesystem::remove(m_opened);
        const std::filesystem::path script = TestRoot() / "browser.sh";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << m_opened.string() << ".part' && mv '"
                              << m_opened.string() << ".part' '" << m_opened.string() << "'\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        setenv("BROWSER", script.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("BROWSER");
        GameKey().erase();
    }

    // The browser runs on its own: wait a bounded time for what it wrote.
    std::string opened() const
    {
        for (int i = 0; i < 500 && !std::filesystem::exists(m_opened); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(m_opened);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path m_opened;
};

} // namespace

TEST_F(Browser, ViewingOpensThePublishedScoresPage)
{
    ViewNetScores();
    EXPECT_EQ(opened(), ViewScoresAddress());
}

TEST_F(Browser, PublishingOpensThePostingAddress)
{
    EnterHighScore(0, u"Ada Lovelace", 1000);
    PublishScores();
    const std::string address = opened();
    EXPECT_EQ(address, PublishAddress());
    EXPECT_NE(address.find("&score&1000&Ada@Lovelace&"), std::string::npos);
}
