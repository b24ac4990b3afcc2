#include "trace.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

TEST(Trace, SinkReceivesFormattedLinesCutToTheBufferUntilRestored)
{
    static std::vector<std::string> lines;
    const TraceSink capture = [](const char* line) { lines.emplace_back(line); };
    EXPECT_EQ(SetTraceSink(capture), nullptr);
    Trace("Graphic::DrawTo called on invalid graphic (0x%08lX)", 0x1234UL);
    Trace("%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(SetTraceSink(nullptr), capture);
    Trace("not captured");
    EXPECT_EQ(lines, (std::vector<std::string>{"Graphic::DrawTo called on invalid graphic (0x00001234)", std::string(1023, 'x')}));
}
