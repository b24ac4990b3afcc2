// The robot player: plays Quibo on an X display the way a person does, looking only at
// screenshots and acting only through the pointer and the keyboard, then checks what the
// game stored.
//   robot play     play a whole game (or --quibos N of it); on a new high score type --name
//                  and check the stored table
//   robot keys     take one quibo with the keys alone, checking the focus ring on the way
//   robot screen S wait until screen S shows (tutorial, play, paused, gameover, newhighscore,
//                  highscores) and keep a screenshot named --shot
//   robot start-game  wait for the play screen, leaving a first run's tutorial with Done
//   robot view-scores  open the high-score table from the menu and keep a screenshot (--shot)
//   robot exit     wait for the play screen, keep a screenshot (--shot) and press Exit
//   robot scores   print the stored high-score table, one entry a line
//   robot seed N   make the first stored entry an honest one named N (--score MS)
//   robot forge N  change a character of the stored name N, keeping its check value
// Options: --tool quibo-pack --packs DIR --work DIR --shots DIR --name NAME --quibos N
//          --timeout SECONDS --shot NAME
#include "player.h"
#include "scores.h"
#include "utf.h"

#include <cstdio>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>

namespace {

struct Command {
    std::string verb, argument, shot;
    uint32_t score = 0;
    RobotOptions options;
};

Command Parse(int argc, char** argv)
{
    if (argc < 2)
        throw std::runtime_error("usage: robot play|keys|screen S|start-game|view-scores|exit|scores|seed N|forge N [options]");
    Command c;
    c.verb = argv[1];
    int i = 2;
    if ((c.verb == "screen" || c.verb == "forge" || c.verb == "seed") && i < argc)
        c.argument = argv[i++];
    std::map<std::string, std::string> flags;
    for (; i < argc; i += 2)
        flags[argv[i]] = i + 1 < argc ? argv[i + 1] : throw std::runtime_error(std::string("robot: ") + argv[i] + " needs a value");
    auto take = [&](const std::string& flag, const std::string& fallback) {
        auto node = flags.extract(flag);
        return node ? node.mapped() : fallback;
    };
    RobotOptions& o = c.options;
    o = {take("--tool", ""),
         take("--packs", ""),
         take("--work", o.work),
         take("--shots", o.shots),
         take("--name", o.name),
         std::stoi(take("--quibos", "0")),
         std::stod(take("--timeout", "60"))};
    c.shot = take("--shot", "");
    c.score = uint32_t(std::stoul(take("--score", "200000")));
    if (!flags.empty())
        throw std::runtime_error("robot: unknown option " + flags.begin()->first);
    return c;
}

// The entry the game stored for the robot's game, once the name dialog has closed.
void CheckStoredEntry(const RobotOptions& options, const GameResult& result)
{
    for (const double end = Now() + options.timeout; Now() < end; Pause(0.3)) {
        const auto table = ParseHighScores(ReadHighScoresValue());
        for (const StoredScore& s : table ? *table : std::vector<StoredScore>{}) {
            if (s.name != Utf8ToUtf16(options.name))
                continue;
            std::printf("robot: stored %s %u ms (the robot expected %.0f to %.0f), date %u, check %08X\n", options.name.c_str(), s.score,
                        result.earliest, result.latest, s.date, s.check);
            if (s.score < result.earliest || s.score > result.latest)
                throw std::runtime_error("robot: the stored time is not the time of the game");
            if (s.check != ExpectedCheck(s.name, s.score) || s.date != PackedToday())
                throw std::runtime_error("robot: the stored check value or date is wrong");
            return;
        }
    }
    throw std::runtime_error("robot: the store never held the name " + options.name);
}

void Play(Robot& robot, const RobotOptions& options)
{
    const GameResult result = robot.Play();
    if (!result.ended && !options.quibos)
        throw std::runtime_error("robot: the game did not end");
    if (result.enteredTable)
        CheckStoredEntry(options, result);
    if (result.ended)
        robot.WaitFor(result.enteredTable ? "newhighscore" : "gameover", result.enteredTable ? "highscores" : "gameover");
}

void PrintScores()
{
    const auto table = ParseHighScores(ReadHighScoresValue());
    if (!table)
        throw std::runtime_error("robot: no high-score table in the store");
    for (const StoredScore& s : *table)
        std::printf("%s|%u|%u|%u|%s\n", Utf16ToUtf8(s.name).c_str(), s.score, s.date, s.check,
                    s.check != 0 && s.check == ExpectedCheck(s.name, s.score) ? "valid" : "unchecked");
}

// Seeds or forges the stored table.
void Edit(const Command& c, const std::function<bool(std::vector<uint8_t>&, const std::u16string&)>& edit)
{
    std::vector<uint8_t> value = ReadHighScoresValue();
    if (!edit(value, Utf8ToUtf16(c.argument)) || !WriteHighScoresValue(value))
        throw std::runtime_error("robot: cannot " + c.verb + " " + c.argument + " in the stored table");
}

void Main(int argc, char** argv)
{
    const Command c = Parse(argc, argv);
    Robot robot(c.options);
    auto attached = [&]() -> Robot& {
        robot.Attach();
        return robot;
    };
    const std::map<std::string, std::function<void()>> verbs = {
        {"scores", PrintScores},
        {"seed", [&] { Edit(c, [&](std::vector<uint8_t>& v, const std::u16string& n) { return SeedEntry(v, n, c.score); }); }},
        {"forge", [&] { Edit(c, ForgeName); }},
        {"screen", [&] { attached().WaitFor(c.argument, c.shot); }},
        {"start-game", [&] { attached().StartPlaying(c.shot); }},
        {"view-scores", [&] { attached().ViewScores(c.shot); }},
        {"exit", [&] { attached().ClickButton(robot.WaitFor("play", c.shot), kExit); }},
        {"keys", [&] { attached().PlayKeys(); }},
        {"play", [&] { Play(attached(), c.options); }},
    };
    if (!verbs.count(c.verb))
        throw std::runtime_error("robot: unknown command " + c.verb);
    verbs.at(c.verb)();
}

} // namespace

int main(int argc, char** argv)
{
    try {
        Main(argc, argv);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
