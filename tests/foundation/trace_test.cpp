#include "trace.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_lines;

void capture(const char* line)
{
    g_lines.emplace_back(line);
}

} // namespace

TEST(Trace, SinkReceivesFormattedLinesCutToTheBufferUntilRestored)
{
    EXPECT_EQ(SetTraceSink(capture), nullptr);
    Trace("Graphic::DrawTo called on invalid graphic (0x%08lX)", 0x1234UL);
    Trace("%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(SetTraceSink(nullptr), capture);
    Trace("not captured");
    ASSERT_EQ(g_lines.size(), 2u);
    EXPECT_EQ(g_lines[0], "Graphic::DrawTo called on invalid graphic (0x00001234)");
    EXPECT_EQ(g_lines[1].size(), 1023u);
}
