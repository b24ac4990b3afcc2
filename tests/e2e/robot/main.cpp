// The robot player: plays Quibo on an X display the way a person does, looking only at
// screenshots and acting only through the pointer and the keyboard, then checks what the
// game stored.
//   robot play     play a whole game (or --quibos N of it); on a new high score type --name
//                  and check the stored table
//   robot screen S wait until screen S shows (tutorial, play, paused, gameover, newhighscore,
//                  highscores) and keep a screenshot named --shot
//   robot start-game  wait for the play screen, leaving a first run's tutorial with Done
//   robot scores   print the stored high-score table, one entry a line
//   robot seed N   make the first stored entry an honest one named N (--score MS)
//   robot forge N  change a character of the stored name N, keeping its check value
//   robot view-scores  open the high-score table from the menu and keep a screenshot (--shot)
// Options: --tool quibo-pack --packs DIR --work DIR --shots DIR --name NAME --quibos N
//          --no-extras --timeout SECONDS --shot NAME --window NAME (default ^Quibo$)
#include "player.h"
#include "scores.h"
#include "utf.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

struct Command {
    std::string verb;
    std::string argument;
    std::string shot;
    uint32_t score = 200000;
    RobotOptions options;
};

Command Parse(int argc, char** argv)
{
    if (argc < 2)
        throw std::runtime_error("usage: robot play|screen S|scores|forge NAME [options]");
    Command c;
    c.verb = argv[1];
    c.options.work = "/tmp/quibo-robot";
    c.options.shots = ".";
    c.options.name = "Robot";
    int i = 2;
    if ((c.verb == "screen" || c.verb == "forge" || c.verb == "seed") && i < argc)
        c.argument = argv[i++];
    for (; i < argc; ++i) {
        const std::string flag = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::runtime_error("robot: " + flag + " needs a value");
            return argv[++i];
        };
        if (flag == "--tool")
            c.options.packTool = value();
        else if (flag == "--packs")
            c.options.packs = value();
        else if (flag == "--work")
            c.options.work = value();
        else if (flag == "--shots")
            c.options.shots = value();
        else if (flag == "--name")
            c.options.name = value();
        else if (flag == "--quibos")
            c.options.quibos = std::stoi(value());
        else if (flag == "--timeout")
            c.options.timeout = std::stod(value());
        else if (flag == "--score")
            c.score = uint32_t(std::stoul(value()));
        else if (flag == "--shot")
            c.shot = value();
        else if (flag == "--window")
            c.options.window = value();
        else if (flag == "--no-extras")
            c.options.extras = false;
        else
            throw std::runtime_error("robot: unknown option " + flag);
    }
    return c;
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

// The entry the game stored for the robot's game, once the name dialog has closed.
void CheckStoredEntry(const RobotOptions& options, const GameResult& result)
{
    const std::u16string name = Utf8ToUtf16(options.name);
    const double end = Now() + options.timeout;
    for (;;) {
        if (const auto table = ParseHighScores(ReadHighScoresValue())) {
            for (const StoredScore& s : *table) {
                if (s.name != name)
                    continue;
                std::printf("robot: stored %s %u ms (the robot expected %.0f to %.0f), date %u, check %08X\n", options.name.c_str(),
                            s.score, result.earliest, result.latest, s.date, s.check);
                if (s.score < result.earliest || s.score > result.latest)
                    throw std::runtime_error("robot: the stored time is not the time of the game");
                if (s.check != ExpectedCheck(s.name, s.score))
                    throw std::runtime_error("robot: the stored check value is wrong");
                if (s.date != PackedToday())
                    throw std::runtime_error("robot: the stored date is not today");
                return;
            }
        }
        if (Now() > end)
            throw std::runtime_error("robot: the store never held the name " + options.name);
        Pause(0.3);
    }
}

int Main(int argc, char** argv)
{
    Command c = Parse(argc, argv);
    if (c.verb == "scores") {
        PrintScores();
        return 0;
    }
    if (c.verb == "seed") {
        std::vector<uint8_t> value = ReadHighScoresValue();
        if (!SeedEntry(value, Utf8ToUtf16(c.argument), c.score) || !WriteHighScoresValue(value))
            throw std::runtime_error("robot: no high-score table to seed");
        return 0;
    }
    if (c.verb == "forge") {
        std::vector<uint8_t> value = ReadHighScoresValue();
        if (!ForgeName(value, Utf8ToUtf16(c.argument)) || !WriteHighScoresValue(value))
            throw std::runtime_error("robot: no stored entry named " + c.argument);
        return 0;
    }
    if (c.options.packTool.empty() || c.options.packs.empty())
        throw std::runtime_error("robot: --tool and --packs are needed to look at the game");
    Robot robot(c.options);
    robot.Attach();
    if (c.verb == "screen") {
        robot.WaitFor(c.argument, c.shot);
        std::printf("robot: saw the %s screen\n", c.argument.c_str());
        return 0;
    }
    if (c.verb == "start-game") {
        robot.StartPlaying(c.shot);
        return 0;
    }
    if (c.verb == "view-scores") {
        robot.ViewScores(c.shot);
        return 0;
    }
    if (c.verb != "play")
        throw std::runtime_error("robot: unknown command " + c.verb);
    const GameResult result = robot.Play();
    if (c.options.quibos && !result.ended)
        return 0; // a demonstration of a few quibos
    if (!result.ended)
        throw std::runtime_error("robot: the game did not end");
    if (result.enteredTable) {
        CheckStoredEntry(c.options, result);
        robot.WaitFor("newhighscore", "highscores");
    } else {
        robot.WaitFor("gameover", "gameover");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Main(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
