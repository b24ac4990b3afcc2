// The shipped layout files carry every key the game reads, with the values of each class.
#include "geometry.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

// "key=large|small|handheld;" for single values.
const char* const kValues = R"(
cxWINDOW=760|600|240; cyWINDOW=520|400|294; yTILES_TOP=33|13|50; xTILES_LEFT_FOUR=77|54|26; xTILES_LEFT_FIVE=33|13|4;
cxTILES_SPACING=3|3|3; cyTILES_SPACING=4|4|4; cyINSETS_SPACING=1|1|1; object-effects count=12|12|4; object-effects freq=2|2|3;
cyHIGHSPACE=25|25|20; object-tutorial xTILES=228|178|50; object-tutorial yTILES=312|252|212;
font-main=MS Shell Dlg,-14,B|MS Shell Dlg,-14,B|MS Shell Dlg,9,B; font-menu=MS Shell Dlg,-12|MS Shell Dlg,-12|MS Shell Dlg,8;
font-options=MS Shell Dlg,-12|MS Shell Dlg,-12|MS Shell Dlg,8; font-tutorial=MS Shell Dlg,-14|MS Shell Dlg,-14|MS Shell Dlg;
font-high=MS Shell Dlg,-14|MS Shell Dlg,-14|MS Shell Dlg,9;)";

// Elements, the same way: "left top" for buttons and pictures, "left top width height flags"
// for text fields, "-" where the element is disabled.
const char* const kElements = R"(
button-menu=621 75|481 15|0 0; button-pause=621 125|481 65|57 0; button-new=621 175|481 115|115 0; button-exit=-|-|172 0;
button-add=585 325|445 248|115 246; button-hint=657 325|517 248|172 246; object-logo=595 250|455 182|-;
text-time=540 395 220 20 4|420 310 180 20 4|10 251 105 18 0; text-tiles=540 420 220 20 4|420 335 180 20 4|10 269 105 18 0;
text-average=540 445 220 20 4|420 360 180 20 4|-; text-estimate=540 470 220 20 4|-|-; button-tutorial=20 70|20 20|0 25;
button-options=20 130|20 80|0 85; button-viewlocal=20 190|20 140|0 145; button-publish=20 250|20 200|172 25;
button-viewnet=20 310|20 260|172 85; text-tutorial-prompt=27 113 110 14 0|27 63 110 14 0|7 68 110 14 0;
text-options-prompt=27 173 110 14 0|27 123 110 14 0|7 128 110 14 0; text-viewlocal-prompt=27 233 110 14 0|27 183 110 14 0|7 188 110 14 0;
text-publish-prompt=27 293 140 14 0|27 243 140 14 0|128 68 107 14 2;
text-viewnet-prompt=27 353 140 96 8|27 303 140 96 8|128 128 107 96 10; button-menudone=180 220|180 170|86 230;
object-divider=170 150|170 100|117 26; button-effects=586 137|426 87|86 50;
text-effects-prompt=500 151 90 14 2|340 101 90 14 2|0 66 90 14 2; text-effects-setting=648 151 90 14 0|488 101 90 14 0|148 66 90 14 0;
button-animation=586 176|426 126|86 94; text-animation-prompt=500 195 90 14 2|340 145 90 14 2|0 110 90 14 2;
text-animation-setting=648 195 90 14 0|488 145 90 14 0|148 110 90 14 0; button-sounds=586 220|426 170|86 138;
text-sounds-prompt=500 239 90 14 2|340 189 90 14 2|0 154 90 14 2; text-sounds-setting=648 239 90 14 0|488 189 90 14 0|148 154 90 14 0;
button-music=-|-|-; text-music-prompt=-|-|-; text-music-setting=-|-|-; button-language=586 264|426 214|86 182;
text-language-prompt=500 283 90 14 2|340 233 90 14 2|0 198 90 14 2; text-language-setting=648 283 90 14 0|488 233 90 14 0|148 198 90 14 0;
button-optionsdone=586 352|426 302|86 230; button-back=278 80|198 20|18 0; button-next=346 80|266 20|86 0;
button-tutorialdone=414 80|334 20|154 0; text-tutorial=168 136 426 172 8|88 76 426 172 8|8 56 226 152 8;
object-hightitle=292 75|212 35|32 10; text-high-number=200 135 25 20 2|120 95 25 20 2|0 60 15 15 2;
text-high-name=230 135 165 20 0|150 95 165 20 0|20 60 95 15 0; text-high-score=400 135 45 20 0|320 95 45 20 0|120 60 35 15 0;
text-high-date=450 135 95 20 2|370 95 95 20 2|160 60 75 15 2; button-highdone=312 375|232 335|52 240;
button-highpublish=380 375|300 335|120 240;)";

class Layouts : public testing::TestWithParam<int> {
protected:
    // Calls check(name, the value this class should have) for each entry of a table.
    template<class Check> void ForEachEntry(const char* table, Check check)
    {
        std::istringstream entries(table);
        std::string entry;
        while (std::getline(entries >> std::ws, entry, ';')) {
            const size_t equals = entry.find('=');
            std::istringstream values(entry.substr(equals + 1));
            std::string value;
            for (int i = 0; i <= GetParam(); ++i)
                std::getline(values, value, '|');
            check(entry.substr(0, equals), value);
        }
    }
    const char* const classes[3] = {"large", "small", "handheld"};
    cetl::PROPERTIES layout = ReadLayout(std::string(QUIBO_LAYOUTS) + "/" + classes[GetParam()] + ".txt");
};

TEST_P(Layouts, EveryValueIsThereAndEveryElementPlacedOrDisabled)
{
    ForEachEntry(kValues, [&](const std::string& key, const std::string& expected) {
        EXPECT_EQ(layout.Contains(key.c_str()) ? std::string(layout.Lookup(key.c_str()).View()) : "(none)", expected) << key;
    });
    ForEachEntry(kElements, [&](const std::string& name, const std::string& expected) {
        const bool disabled = layout.Lookup((name + " disable").c_str()).Number() != 0;
        std::string placed;
        std::istringstream numbers(expected);
        int value = 0;
        for (const char* attribute : {" left", " top", " width", " height", " flags"}) {
            if (disabled || !(numbers >> value))
                break;
            const std::string key = name + attribute;
            placed
                += (placed.empty() ? "" : " ") + (layout.Contains(key.c_str()) ? std::to_string(layout.Lookup(key.c_str()).Number()) : "?");
        }
        EXPECT_EQ(disabled ? "-" : placed, expected) << name;
    });
}

INSTANTIATE_TEST_SUITE_P(Classes, Layouts, testing::Values(0, 1, 2));

} // namespace
