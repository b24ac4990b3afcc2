// The robot player: finds the game's window, tells its screens apart, and plays with the
// pointer or with the keys.
#pragma once

#include "desktop.h"
#include "pack.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct RobotOptions {
    std::string packTool; // quibo-pack
    std::string packs; // the folder of the game's resource packs
    std::string work = "/tmp/quibo-robot"; // where decoded pictures go
    std::string shots = "."; // where screenshots are kept
    std::string name = "Robot"; // typed into the name dialog
    int quibos = 0; // stop after this many (0: play the game to its end)
    double timeout = 60; // seconds to wait for any one thing
};

// What the robot makes of one screenshot of the game's window, at the layout's own size.
struct View {
    double taken = 0; // when the screenshot was started
    Image image;
    std::vector<SeenTile> tiles;
    std::vector<std::optional<Match>> captions; // by caption cell
    std::optional<int> banner; // which banner shows
    std::string screen; // tutorial, play, paused, gameover, newhighscore, highscores, other

    size_t Count(Face face) const;
};

struct GameResult {
    int quibos = 0;
    bool ended = false; // the game reached its end
    bool enteredTable = false; // the name dialog came up
    double earliest = 0, latest = 0; // bounds of the final time the game should record, in ms
};

class Robot {
public:
    explicit Robot(RobotOptions options) : options_(std::move(options)) { }
    // Waits for the game's window at a pack's layout size, or a whole multiple of it.
    void Attach();
    // Waits until the given screen shows; keeps a screenshot named shot when not empty.
    View WaitFor(const std::string& screen, const std::string& shot = {});
    // Waits for the play screen, leaving the tutorial of a first run with Done on the way.
    View StartPlaying(const std::string& shot = {});
    // Plays the game with the pointer: every quibo it sees, Add when it sees none.
    GameResult Play();
    // With keys alone: Add, the focus ring shown and stopped at the board's edges, a quibo taken,
    // Pause and back, Hint, Escape.
    void PlayKeys();
    // From the play screen: Menu, then the local scores; keeps a screenshot named shot.
    void ViewScores(const std::string& shot);
    void ClickButton(const View& view, int caption);

private:
    View Look();
    View Steady();
    View Await(const std::string& what, const std::function<bool(const View&)>& done, const std::string& shot = {});
    void Shot(const View& view, const std::string& name) const;
    [[noreturn]] void Fail(const View& view, const std::string& why) const;
    bool ChoosePack(const Image& screen);
    std::string Folder(const std::filesystem::path& pack) const;
    void Click(int x, int y); // in the view's pixels
    void ClickTile(const SeenTile& tile);
    void Key(std::vector<std::string> keys);
    bool EnterName();

    RobotOptions options_;
    WindowBox window_;
    int scale_ = 1; // screen pixels per pixel of the layout
    std::vector<std::pair<std::filesystem::path, PackPictures>> candidates_; // packs that may be the one shown
    std::unique_ptr<TileFinder> finder_;
    std::vector<Template> captions_, banners_;
    Template ring_; // the keyboard's focus ring around a tile
};
