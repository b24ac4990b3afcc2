#include "player.h"

#include "quibo.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr double kSettle = 0.15; // seconds between the two looks that must agree
constexpr double kSlack = 1.5; // seconds of latency allowed either side of a measured time
const char kWindowName[] = "^Quibo$";

std::vector<int> Indices(const std::vector<SeenTile>& tiles)
{
    std::vector<int> indices;
    for (const SeenTile& t : tiles)
        indices.push_back(t.face == Face::Back ? -1 : t.index);
    return indices;
}

// How many tiles of the quibo still lie where they lay before, as they were.
size_t Remaining(const View& before, const std::array<size_t, 3>& quibo, const View& after)
{
    return size_t(std::count_if(quibo.begin(), quibo.end(), [&](size_t i) {
        const SeenTile& t = before.tiles[i];
        return std::any_of(after.tiles.begin(), after.tiles.end(),
                           [&](const SeenTile& a) { return a.x == t.x && a.y == t.y && a.index == t.index; });
    }));
}

__attribute__((format(printf, 1, 2))) void Say(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::printf("robot: ");
    std::vprintf(format, arguments);
    std::printf("\n");
    std::fflush(stdout);
    va_end(arguments);
}

} // namespace

size_t View::Count(Face face) const
{
    return size_t(std::count_if(tiles.begin(), tiles.end(), [&](const SeenTile& t) { return t.face == face; }));
}

void Robot::Attach()
{
    if (options_.packTool.empty() || options_.packs.empty())
        throw std::runtime_error("robot: --tool and --packs are needed to look at the game");
    std::vector<std::filesystem::path> packs; // deep colour first
    for (const auto& entry : std::filesystem::directory_iterator(options_.packs))
        if (entry.path().extension() == ".res")
            packs.push_back(entry.path());
    std::sort(packs.begin(), packs.end());
    std::stable_partition(packs.begin(), packs.end(), [](const auto& p) { return p.stem().string().ends_with("-hi"); });
    // The intro's window may come first, at another size: the game's is the one a layout fits.
    const double end = Now() + options_.timeout;
    while (candidates_.empty()) {
        const auto found = FindWindow(kWindowName, end - Now());
        if (!found)
            throw std::runtime_error("robot: no game window at the size of a layout in " + options_.packs);
        window_ = *found;
        for (const auto& pack : packs) {
            const std::string layout = ReadLayout(options_.packTool, pack.string(), Folder(pack));
            const int cx = LayoutNumber(layout, "cxWINDOW"), cy = LayoutNumber(layout, "cyWINDOW");
            if (cx > 0 && cy > 0 && window_.width % cx == 0 && window_.width / cx * cy == window_.height) {
                candidates_.emplace_back(pack, DecodePack(options_.packTool, pack.string(), Folder(pack))); // before any look
                scale_ = window_.width / cx;
            }
        }
    }
    Say("window %dx%d at %d,%d, scale %d", window_.width, window_.height, window_.x, window_.y, scale_);
}

std::string Robot::Folder(const std::filesystem::path& pack) const
{
    return options_.work + "/" + pack.stem().string();
}

// The pack is the one whose buttons are on the screen.
bool Robot::ChoosePack(const Image& screen)
{
    for (const auto& [pack, pictures] : candidates_) {
        std::vector<Template> captions;
        for (const Image& caption : pictures.captions)
            captions.push_back(MakeTemplate(caption, std::vector<bool>(caption.pixels.size(), true)));
        if (std::none_of(captions.begin(), captions.end(), [&](const Template& t) { return !FindAll(screen, t).empty(); }))
            continue;
        Say("the game shows %s", pack.filename().c_str());
        finder_ = std::make_unique<TileFinder>(pictures.tiles);
        captions_ = std::move(captions);
        for (const Image& banner : pictures.banners)
            banners_.push_back(MakeKeyedTemplate(banner, Rgb{0, 0, 255}));
        const int w = finder_->tileWidth() + 4, h = finder_->tileHeight() + 4;
        std::vector<bool> frame(size_t(w * h));
        for (int i = 0; i < w * h; ++i)
            frame[size_t(i)] = i % w < 2 || i % w >= w - 2 || i / w < 2 || i / w >= h - 2;
        ring_ = MakeTemplate(Image(w, h, Rgb{255, 204, 0}), frame);
        return true;
    }
    return false;
}

View Robot::Look()
{
    View view;
    view.taken = Now();
    view.image = Crop(Screenshot(), window_.x, window_.y, window_.width, window_.height, scale_);
    view.screen = "other";
    if (!finder_ && !ChoosePack(view.image))
        return view;
    view.tiles = finder_->Find(view.image);
    for (const Template& caption : captions_) {
        const std::vector<Match> found = FindAll(view.image, caption);
        view.captions.push_back(found.empty() ? std::nullopt : std::optional<Match>(found.front()));
    }
    for (size_t i = 0; i < banners_.size() && !view.banner; ++i)
        if (!FindAll(view.image, banners_[i]).empty())
            view.banner = int(i);
    const bool playButtons = view.captions[kAdd] && view.captions[kHint];
    if (view.banner)
        view.screen = *view.banner == kNewHighScore ? "newhighscore" : *view.banner == kGameOver ? "gameover" : "highscores";
    else if (view.captions[kNext] || view.captions[kDone]) // Next glows on and off
        view.screen = "tutorial";
    else if (playButtons && view.Count(Face::Back) > 0 && view.Count(Face::Back) == view.tiles.size())
        view.screen = "paused";
    else if (playButtons)
        view.screen = "play";
    return view;
}

// A look that agrees with the one taken a moment before: the same screen and, in play, the same
// tiles (the tutorial's show off, and a slow look may never catch two alike).
View Robot::Steady()
{
    View before = Look();
    for (const double end = Now() + options_.timeout;;) {
        Pause(kSettle);
        View after = Look();
        if (after.screen == before.screen && (after.tiles == before.tiles || (after.screen != "play" && after.screen != "paused")))
            return after;
        if (Now() > end)
            Fail(after, "the screen never settled: " + before.screen + ", then " + after.screen + " with "
                            + std::to_string(after.tiles.size()) + " tiles");
        before = std::move(after);
    }
}

View Robot::Await(const std::string& what, const std::function<bool(const View&)>& done, const std::string& shot)
{
    for (const double end = Now() + options_.timeout;; Pause(0.3)) {
        View view = Steady();
        if (done(view)) {
            std::string names;
            for (const SeenTile& t : view.tiles)
                names += " " + (t.face == Face::Back ? "back" : std::to_string(t.index)) + (t.face == Face::Selected ? "*" : "");
            Say("%s: the %s screen, tiles:%s", what.c_str(), view.screen.c_str(), names.c_str());
            if (!shot.empty())
                Shot(view, shot);
            return view;
        }
        if (Now() > end)
            Fail(view, "waited in vain for " + what + " (saw the " + view.screen + " screen)");
    }
}

View Robot::WaitFor(const std::string& screen, const std::string& shot)
{
    return Await(
        "the " + screen + " screen", [&](const View& v) { return v.screen == screen; }, shot);
}

View Robot::StartPlaying(const std::string& shot)
{
    return Await(
        "the play screen",
        [&](const View& v) {
            if (v.screen == "tutorial")
                ClickButton(v, kDone);
            return v.screen == "play";
        },
        shot);
}

void Robot::ViewScores(const std::string& shot)
{
    ClickButton(StartPlaying(), kMenu);
    ClickButton(Await("the Scores button", [](const View& v) { return bool(v.captions[kScores]); }), kScores);
    WaitFor("highscores", shot); // the first of the two Scores buttons is the local table
}

void Robot::Shot(const View& view, const std::string& name) const
{
    const std::string path = options_.shots + "/" + name + ".png";
    WritePicture(view.image, path);
    Say("screenshot %s", path.c_str());
}

void Robot::Fail(const View& view, const std::string& why) const
{
    if (!view.image.empty())
        Shot(view, "failure");
    throw std::runtime_error("robot: " + why);
}

void Robot::Click(int x, int y)
{
    ClickAt(window_.x + x * scale_, window_.y + y * scale_);
    Pause(0.1);
}

void Robot::ClickTile(const SeenTile& tile)
{
    Click(tile.x + finder_->tileWidth() / 2, tile.y + finder_->tileHeight() / 2);
}

void Robot::ClickButton(const View& view, int caption)
{
    if (!view.captions[size_t(caption)])
        Fail(view, "no button with caption cell " + std::to_string(caption));
    Click(view.captions[size_t(caption)]->x + 17, view.captions[size_t(caption)]->y + 6);
}

void Robot::Key(std::vector<std::string> keys)
{
    // The window seen first may have been one the game replaced since (the intro's).
    if (const auto found = FindWindow(kWindowName, options_.timeout))
        window_.id = found->id;
    Xdo({"windowfocus", window_.id});
    keys.insert(keys.begin(), {"key", "--clearmodifiers"});
    Xdo(keys);
    Pause(0.1);
}

bool Robot::EnterName()
{
    const auto dialog = FindWindow("^New High Score!$", 0);
    if (!dialog)
        return false;
    Pause(0.5);
    View shot;
    shot.image = Crop(Screenshot(), dialog->x, dialog->y, dialog->width, dialog->height);
    Shot(shot, "name-dialog");
    Xdo({"mousemove", std::to_string(dialog->x + dialog->width / 2), std::to_string(dialog->y + 8)});
    Xdo({"windowfocus", dialog->id});
    Xdo({"key", "--clearmodifiers", "ctrl+a"});
    Xdo({"type", "--delay", "60", options_.name});
    Pause(0.2);
    Xdo({"key", "--clearmodifiers", "Return"});
    Say("typed the name %s", options_.name.c_str());
    return true;
}

GameResult Robot::Play()
{
    GameResult result;
    // The game starts when the play screen is built: between the last look without it and the
    // first with it.
    double before = Now();
    bool startSeen = false; // a look before the game began bounds its start
    for (View view = Look(); view.screen != "play"; view = Look(), startSeen = true, Pause(0.2)) {
        if (view.screen == "tutorial") { // a first run opens on it; Done leads to a new game
            Shot(view, "tutorial");
            ClickButton(view, kDone);
        }
        if (Now() - before > options_.timeout)
            Fail(view, "no play screen");
        before = view.taken;
    }
    const double started = before, seen = Now();
    Shot(Steady(), "board");
    double lastClick = seen;
    std::optional<View> fresh; // a settled look taken since the last action
    for (;;) {
        if (EnterName()) {
            result.ended = result.enteredTable = true;
            break;
        }
        View view = fresh ? std::move(*fresh) : Steady();
        fresh.reset();
        if (view.banner) {
            result.ended = true;
            break;
        }
        if (options_.quibos && result.quibos >= options_.quibos) {
            Shot(view, "last");
            break;
        }
        if (view.screen != "play")
            Fail(view, "expected the play screen, saw " + view.screen);
        const std::vector<int> indices = Indices(view.tiles);
        std::vector<size_t> selected;
        for (size_t i = 0; i < view.tiles.size(); ++i)
            if (view.tiles[i].face == Face::Selected)
                selected.push_back(i);
        const auto quibo = FindQuibo(indices, selected);
        if (!quibo && !selected.empty()) {
            Key({"Escape"});
        } else if (!quibo && view.tiles.size() >= 12 && view.tiles.size() < 15) {
            ClickButton(view, kAdd);
            lastClick = Now();
            Say("no quibo among %zu tiles: Add", view.tiles.size());
        } else if (!quibo) {
            // No quibo among the tiles the game still shows: the end must be on its way.
            if (Now() - lastClick > options_.timeout)
                Fail(view, "no quibo among " + std::to_string(view.tiles.size()) + " tiles, and no end");
            Pause(0.5);
        } else {
            for (size_t i : *quibo)
                if (view.tiles[i].face != Face::Selected)
                    ClickTile(view.tiles[i]);
            lastClick = Now();
            ++result.quibos;
            Say("quibo %d: tiles %d %d %d", result.quibos, indices[(*quibo)[0]], indices[(*quibo)[1]], indices[(*quibo)[2]]);
            fresh = Steady();
            if (Remaining(view, *quibo, *fresh) == 3 && fresh->screen == "play")
                Fail(*fresh, "the game did not take a quibo the robot saw");
        }
    }
    Say("took %d quibos%s", result.quibos, result.ended ? ", game over" : "");
    result.earliest = (lastClick - seen - kSlack) * 1000;
    result.latest = startSeen ? (lastClick - started + kSlack) * 1000 : 1e12;
    return result;
}

void Robot::PlayKeys()
{
    StartPlaying();
    Key({"a"});
    const View board = Await("Add's three tiles", [](const View& v) { return v.screen == "play" && v.tiles.size() == 15; });
    const auto quibo = FindQuibo(Indices(board.tiles));
    if (!quibo)
        Fail(board, "no quibo among fifteen tiles");
    // The arrows count slots by rows of the board (tiles at one height) and columns in them.
    std::vector<std::array<int, 2>> slots; // column, row
    for (size_t i = 0; i < board.tiles.size(); ++i)
        slots.push_back(i == 0                                     ? std::array{0, 0}
                        : board.tiles[i].y == board.tiles[i - 1].y ? std::array{slots.back()[0] + 1, slots.back()[1]}
                                                                   : std::array{0, slots.back()[1] + 1});
    auto ringAround = [&](size_t tile, size_t selected, const std::string& what) {
        return Await(what, [&](const View& v) {
            std::vector<size_t> ringed;
            for (size_t i = 0; i < v.tiles.size(); ++i)
                if (MissesAt(v.image, ring_, v.tiles[i].x - 2, v.tiles[i].y - 2) < 0.1)
                    ringed.push_back(i);
            return ringed == std::vector{tile} && v.Count(Face::Selected) == selected;
        });
    };
    Key({"Right"}); // the first arrow shows the ring on the first tile
    ringAround(0, 0, "the ring on the first tile");
    Key({"Left", "Up", "Right"}); // at the top left corner Left and Up stay; Right moves on
    Shot(ringAround(1, 0, "the ring stopped at the edges, then one to the right"), "keys-ring");
    for (size_t n = 0, at = 1; n < 3; at = (*quibo)[n++]) {
        const std::array<int, 2> from = slots[at], to = slots[(*quibo)[n]];
        std::vector<std::string> moves(size_t(std::abs(to[1] - from[1])), to[1] > from[1] ? "Down" : "Up");
        moves.insert(moves.end(), size_t(std::abs(to[0] - from[0])), to[0] > from[0] ? "Right" : "Left");
        if (!moves.empty())
            Key(moves);
        ringAround((*quibo)[n], n, "the ring on quibo tile " + std::to_string(n + 1));
        Key({n == 2 ? "Return" : "space"});
    }
    Await(
        "the quibo taken", [&](const View& v) { return v.screen == "play" && v.tiles.size() == 12 && Remaining(board, *quibo, v) == 0; },
        "keys-taken");
    Key({"p"});
    WaitFor("paused", "keys-paused");
    Key({"p"});
    if (!FindQuibo(Indices(WaitFor("play").tiles))) { // Hint shows nothing on a board without a quibo
        Key({"a"});
        Await("Add's three tiles on a board without a quibo", [](const View& v) { return v.screen == "play" && v.tiles.size() == 15; });
    }
    Key({"h"});
    Await("Hint's tile", [](const View& v) { return v.screen == "play" && v.Count(Face::Selected) == 1; });
    Key({"Escape"});
    Await("Escape to let go of it", [](const View& v) { return v.screen == "play" && v.Count(Face::Selected) == 0; });
    Say("took a quibo, paused, resumed, hinted and let go with the keys");
}
