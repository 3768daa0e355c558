#include "layout/LayoutConfig.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "layout/AtoiRule.h"
#include "layout/TextCodec.h"
#include "layout/XmlGuard.h"

namespace {

// The embedded layout is a few kilobytes; the limit only bounds the work.
constexpr size_t kMaxLayoutBytes = 4u << 20;
// The manifest arrives from the network and is a few hundred bytes.
constexpr size_t kMaxManifestBytes = 1u << 20;

// ---- Reading the document -------------------------------------------------

// Ill-formed UTF-8 is replaced the way the text rule will replace it anyway,
// so every string read comes out the same; but TinyXML, once it has settled on
// UTF-8, would otherwise step over the bytes after a stray lead byte (markup
// included) and past the end of the buffer.
std::string RepairUtf8(const std::string& bytes) { return Utf16ToUtf8(Utf8ToUtf16(bytes)); }

bool ParseGuarded(const std::string& bytes, size_t maxBytes, TiXmlDocument* doc) {
    const std::string text = RepairUtf8(bytes);
    if (!XmlGuard::IsAcceptable(text.c_str(), text.size(), maxBytes)) {
        return false;
    }
    // A process-wide switch of the library; the element text rule relies on
    // condensed white space, whatever another caller set before.
    TiXmlBase::SetCondenseWhiteSpace(true);
    doc->Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    return !doc->Error();
}

// Loads at most `limit` bytes; a larger file is refused rather than cut.
bool ReadFileLimited(const char* path, size_t limit, std::string* bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    char chunk[16384];
    bool ok = true;
    size_t got;
    while (ok && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        ok = bytes->size() + got <= limit;
        if (ok) bytes->append(chunk, got);
    }
    ok = ok && !std::ferror(file);
    std::fclose(file);
    return ok;
}

// What TinyXML's own file loading does before parsing: the text ends at the
// first NUL, and CR LF or a lone CR become LF.
std::string NormalizeNewlines(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size() && bytes[i] != '\0'; ++i) {
        if (bytes[i] != '\r') {
            out.push_back(bytes[i]);
            continue;
        }
        out.push_back('\n');
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    }
    return out;
}

// ---- Value rules ----------------------------------------------------------

int32_t IntAttr(const TiXmlElement& element, const char* name) {
    return ParseAtoi(element.Attribute(name));
}

std::u16string TextAttr(const TiXmlElement& element, const char* name,
                        const std::u16string& absent = std::u16string()) {
    const char* value = element.Attribute(name);
    return value ? Utf8ToUtf16(value) : absent;
}

// Only a text node in first place counts (CDATA verbatim, plain text as the
// library condensed it); a leading comment or element hides any text after it.
std::u16string ElementText(const TiXmlElement& element) {
    const TiXmlNode* first = element.FirstChild();
    if (first == nullptr || first->ToText() == nullptr) {
        return std::u16string();
    }
    return Utf8ToUtf16(first->Value());
}

LayoutRect RectAttrs(const TiXmlElement& element) {
    const int32_t x = IntAttr(element, "x");
    const int32_t y = IntAttr(element, "y");
    // Wrapping, not undefined, when a hostile width overflows.
    const auto add = [](int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
    };
    return {x, y, add(x, IntAttr(element, "w")), add(y, IntAttr(element, "h"))};
}

// Calls `read` for each `item` child of `container` (which may be absent).
template <typename Read>
void ForEachItem(const TiXmlElement* container, Read read) {
    if (container == nullptr) {
        return;
    }
    for (const TiXmlElement* item = container->FirstChildElement("item"); item != nullptr;
         item = item->NextSiblingElement("item")) {
        read(*item);
    }
}

// ---- Layout records -------------------------------------------------------

SpriteItem ReadSprite(const TiXmlElement& item) {
    SpriteItem sprite;
    sprite.x = IntAttr(item, "x");
    sprite.y = IntAttr(item, "y");
    sprite.image = IntAttr(item, "image");
    sprite.layer = IntAttr(item, "layer");
    return sprite;
}

ButtonItem ReadButton(const TiXmlElement& item) {
    ButtonItem button;
    button.rect = RectAttrs(item);
    button.normal = IntAttr(item, "normal");
    button.hover = IntAttr(item, "hover");
    button.pressed = IntAttr(item, "pressed");
    button.action = IntAttr(item, "action");
    button.flag = IntAttr(item, "flag");
    return button;
}

WebPanel ReadWeb(const TiXmlElement& item) {
    WebPanel web;
    web.rect = RectAttrs(item);
    web.l = IntAttr(item, "l");
    web.t = IntAttr(item, "t");
    web.r = IntAttr(item, "r");
    web.b = IntAttr(item, "b");
    web.flag = IntAttr(item, "flag");
    web.function = TextAttr(item, "function");
    web.url = ElementText(item);
    return web;
}

uint32_t CaptionColor(const TiXmlElement& caption) {
    const auto low8 = [&](const char* name) {
        return static_cast<uint32_t>(IntAttr(caption, name)) & 0xFFu;
    };
    return 0xFF000000u | (low8("R") << 16) | (low8("G") << 8) | low8("B");
}

// The caption colour belongs to the whole model, so each window read may
// overwrite it: the last `caption` in document order wins.
void ReadWindow(const TiXmlElement* element, WindowLayout* window, uint32_t* captionColor) {
    if (element == nullptr) {
        return;
    }
    window->width = IntAttr(*element, "w");
    window->height = IntAttr(*element, "h");
    ForEachItem(element->FirstChildElement("sprite"),
                [&](const TiXmlElement& item) { window->sprites.push_back(ReadSprite(item)); });
    ForEachItem(element->FirstChildElement("button"),
                [&](const TiXmlElement& item) { window->buttons.push_back(ReadButton(item)); });
    if (const TiXmlElement* caption = element->FirstChildElement("caption")) {
        *captionColor = CaptionColor(*caption);
    }
    ForEachItem(element->FirstChildElement("webs"),
                [&](const TiXmlElement& item) { window->webs.push_back(ReadWeb(item)); });
}

UpdateServer ReadServer(const TiXmlElement& item, const std::u16string& absentFile) {
    return {TextAttr(item, "host"), TextAttr(item, "path"), TextAttr(item, "file", absentFile)};
}

GameConfig ReadGame(const TiXmlElement& element, uint32_t* captionColor) {
    GameConfig game;
    game.name = TextAttr(element, "name");
    game.resource = TextAttr(element, "resource");
    ForEachItem(element.FirstChildElement("update"), [&](const TiXmlElement& item) {
        game.updateServers.push_back(ReadServer(item, u"update.xml"));
    });
    ForEachItem(element.FirstChildElement("images"), [&](const TiXmlElement& item) {
        game.images.push_back({IntAttr(item, "id"), TextAttr(item, "file")});
    });
    ReadWindow(element.FirstChildElement("login"), &game.login, captionColor);
    ReadWindow(element.FirstChildElement("gamemain"), &game.gameMain, captionColor);
    return game;
}

}  // namespace

// ---- LayoutConfig -----------------------------------------------------------

bool LayoutConfig::LoadFromText(const char* text) {
    if (text == nullptr) {
        return false;
    }
    // Measure no further than the limit: an oversized text is refused unread.
    const void* nul = std::memchr(text, '\0', kMaxLayoutBytes + 1);
    if (nul == nullptr) {
        return false;
    }
    TiXmlDocument doc;
    if (!ParseGuarded(std::string(text, static_cast<const char*>(nul)), kMaxLayoutBytes, &doc)) {
        return false;
    }
    const TiXmlElement* config = doc.FirstChildElement("config");
    const TiXmlElement* gameList = config ? config->FirstChildElement("games") : nullptr;
    if (gameList == nullptr) {
        return true;
    }
    for (const TiXmlElement* element = gameList->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        if (element->Attribute("name") == nullptr) {
            continue;
        }
        // Read whole before inserting: a later duplicate still sets the caption
        // colour, but its records are dropped and the first game stays.
        GameConfig game = ReadGame(*element, &captionColor);
        std::u16string name = game.name;
        games.emplace(std::move(name), std::move(game));
    }
    return true;
}

bool LayoutConfig::ParseManifest(const char* path) {
    std::string bytes;
    if (path == nullptr || !ReadFileLimited(path, kMaxManifestBytes, &bytes)) {
        return false;
    }
    TiXmlDocument doc;
    if (!ParseGuarded(NormalizeNewlines(bytes), kMaxManifestBytes, &doc)) {
        return false;
    }
    const TiXmlElement* config = doc.FirstChildElement("config");
    const TiXmlElement* game = config ? config->FirstChildElement("game") : nullptr;
    if (game == nullptr) {
        return true;
    }
    if (const char* value = game->Attribute("major")) major = ParseAtoi(value);
    if (const char* value = game->Attribute("minor")) minor = ParseAtoi(value);
    // Unlike the layout's servers, a manifest item without `file` stays empty.
    ForEachItem(game, [&](const TiXmlElement& item) {
        UpdateServer server = ReadServer(item, std::u16string());
        server.sha256 = TextAttr(item, "sha256");
        manifestItems.push_back(std::move(server));
    });
    return true;
}

WebPanel* LayoutConfig::FindWeb(const std::u16string& currentGame, const std::u16string& window,
                                const std::u16string& function) {
    const auto game = games.find(currentGame);
    if (game == games.end()) {
        return nullptr;
    }
    std::vector<WebPanel>* webs = nullptr;
    if (window == u"gamemain") {
        webs = &game->second.gameMain.webs;
    } else if (window == u"login") {
        webs = &game->second.login.webs;
    } else {
        return nullptr;
    }
    for (WebPanel& web : *webs) {
        if (web.function == function) {
            return &web;
        }
    }
    return nullptr;
}

WebPanel* LayoutConfig::FindGameMainWeb(const std::u16string& currentGame,
                                        const std::u16string& function) {
    return FindWeb(currentGame, u"gamemain", function);
}

const GameConfig* LayoutConfig::FindGame(const std::u16string& name) const {
    const auto game = games.find(name);
    return game == games.end() ? nullptr : &game->second;
}
