// The layout model: games, their update servers and the two window
// descriptions every screen is built from, plus the update manifest's values.
// Portable: no Win32 here, text is UTF-16 in std::u16string.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct LayoutRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct UpdateServer {
    std::u16string host;
    std::u16string path;
    std::u16string file;
    // Manifest items only: the package's SHA-256 as the manifest wrote it;
    // empty when it gave none.
    std::u16string sha256 = {};
};

struct ImageRef {
    int32_t id = 0;
    std::u16string file;
};

struct SpriteItem {
    int32_t x = 0;
    int32_t y = 0;
    int32_t image = 0;
    int32_t layer = 0;
};

struct ButtonItem {
    LayoutRect rect;
    int32_t normal = 0;
    int32_t hover = 0;
    int32_t pressed = 0;
    int32_t action = 0;
    int32_t flag = 0;
};

struct WebPanel {
    LayoutRect rect;
    int32_t l = 0;
    int32_t t = 0;
    int32_t r = 0;
    int32_t b = 0;
    int32_t flag = 0;
    std::u16string function;
    std::u16string url;
};

struct WindowLayout {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<SpriteItem> sprites;
    std::vector<ButtonItem> buttons;
    std::vector<WebPanel> webs;
};

struct GameConfig {
    std::u16string name;
    std::u16string resource;
    std::vector<UpdateServer> updateServers;
    std::vector<ImageRef> images;
    WindowLayout login;
    WindowLayout gameMain;
};

// Action ids the windows react to.
enum LayoutAction : int32_t {
    kActionGamePanel = 101,
    kActionHomepagePanel = 102,
    kActionBbsPanel = 103,
    kActionReload = 104,
    kActionReturnToServer = 105,
    kActionSwitchAccount = 106,
    kActionMenu = 107,
    kActionBossKey = 108,
    kActionMinimize = 1001,
    kActionClose = 1002,
    kActionMaximizeToggle = 1003,
};

class LayoutConfig {
public:
    // Parses the zero-terminated layout document. False when it is not
    // well-formed XML, or too large or too deeply nested to parse safely (the
    // model is then left untouched); true otherwise, also when `config` or
    // `games` is missing.
    bool LoadFromText(const char* text);

    // Parses an update manifest from the file at `path` (narrow, ANSI code
    // page on Windows). False, changing nothing, when it cannot be loaded,
    // is larger than 1 MiB, too deeply nested or not well-formed.
    bool ParseManifest(const char* path);

    // The current game's panel of `function` in window "login" or
    // "gamemain"; null for another window name, no such game or panel.
    // Exact, case-sensitive comparisons.
    WebPanel* FindWeb(const std::u16string& currentGame, const std::u16string& window,
                      const std::u16string& function);
    WebPanel* FindGameMainWeb(const std::u16string& currentGame, const std::u16string& function);
    const GameConfig* FindGame(const std::u16string& name) const;

    uint32_t captionColor = 0xFFFFFFFFu;
    std::map<std::u16string, GameConfig> games;

    // Filled by ParseManifest.
    int32_t major = 0;
    int32_t minor = 0;
    std::vector<UpdateServer> manifestItems;
};
