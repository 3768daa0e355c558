#include "cef/backend/AutomationProtocol.h"

#include "cef/CefTesting.h"
#include "cef/backend/Utf8Codec.h"

#include <cstdlib>
#include <functional>
#include <map>
#include <vector>

namespace cefimpl {
namespace {

using cef_testing::DownloadProgress;
using cef_testing::ScriptArg;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseLong(const std::string& text, long long& value) {
    if (text.empty() || text.size() > 20) return false;
    char* end = nullptr;
    value = strtoll(text.c_str(), &end, 10);
    return end && *end == '\0';
}

// The arguments of one request, read in order. A bad or missing argument
// fails the reader for good; the request is then answered with an error.
class Arguments {
public:
    explicit Arguments(std::vector<std::string> tokens) : m_tokens(std::move(tokens)) {}

    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_next >= m_tokens.size(); }
    bool Finish() const { return m_ok && AtEnd(); }

    long long Number() {
        long long value = 0;
        if (!ParseLong(Next(), value)) m_ok = false;
        return value;
    }
    int Int() { return static_cast<int>(Number()); }
    bool Flag() {
        std::string token = Next();
        if (token != "0" && token != "1") m_ok = false;
        return token == "1";
    }
    std::u16string Text() {
        std::u16string text;
        if (!AutomationProtocol::DecodeText(Next(), text)) m_ok = false;
        return text;
    }
    ScriptArg Script();
    DownloadProgress Progress();

private:
    std::string Next() {
        if (m_next >= m_tokens.size()) {
            m_ok = false;
            return std::string();
        }
        return m_tokens[m_next++];
    }

    std::vector<std::string> m_tokens;
    size_t m_next = 0;
    bool m_ok = true;
};

ScriptArg Arguments::Script() {
    std::string token = Next();
    if (token == "undefined") return ScriptArg();
    if (token == "null") return ScriptArg::Null();
    if (token == "true" || token == "false") return ScriptArg::Bool(token == "true");
    long long number = 0;
    if (token.rfind("int:", 0) == 0 && ParseLong(token.substr(4), number)) {
        return ScriptArg::Int(static_cast<int>(number));
    }
    if (token.rfind("double:", 0) == 0 && token.size() > 7) {
        char* end = nullptr;
        double value = strtod(token.c_str() + 7, &end);
        if (end && *end == '\0') return ScriptArg::Double(value);
    }
    std::u16string text;
    if (AutomationProtocol::DecodeText(token, text)) return ScriptArg::String(text);
    m_ok = false;
    return ScriptArg();
}

// "in-progress,complete,canceled,percent,speed,received,total"
DownloadProgress Arguments::Progress() {
    std::string token = Next();
    std::vector<long long> values;
    size_t start = 0;
    for (;;) {
        size_t comma = token.find(',', start);
        long long value = 0;
        if (!ParseLong(token.substr(start, comma - start), value)) break;
        values.push_back(value);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    DownloadProgress progress;
    if (values.size() != 7) {
        m_ok = false;
        return progress;
    }
    progress.inProgress = values[0] != 0;
    progress.complete = values[1] != 0;
    progress.canceled = values[2] != 0;
    progress.percent = static_cast<int>(values[3]);
    progress.speed = values[4];
    progress.received = values[5];
    progress.total = values[6];
    return progress;
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> tokens;
    size_t start = 0;
    while (start <= line.size()) {
        size_t space = line.find(' ', start);
        if (space == std::string::npos) space = line.size();
        tokens.push_back(line.substr(start, space - start));
        start = space + 1;
    }
    return tokens;
}

std::string Ok(const std::string& values = std::string()) {
    return values.empty() ? "ok\n" : "ok " + values + "\n";
}

std::string Result(bool done) { return done ? Ok() : "fail\n"; }

std::string Error(const std::string& message) {
    return "error " + AutomationProtocol::EncodeText(FromUtf8(message)) + "\n";
}

std::string Records(Arguments& args) {
    long long from = args.Number();
    if (!args.Finish() || from < 0) return Error("usage: records <from>");
    size_t next = 0;
    std::vector<cef_testing::Record> records =
        cef_testing::RecordsSince(static_cast<size_t>(from), &next);
    size_t first = next - records.size();
    std::string out = Ok(std::to_string(next) + " " + std::to_string(records.size()));
    for (size_t i = 0; i < records.size(); ++i) {
        const cef_testing::Record& record = records[i];
        out += "record " + std::to_string(first + i) + " " + std::to_string(record.browserId) +
               " " + record.kind;
        for (const std::u16string& field : record.fields) {
            out += " " + AutomationProtocol::EncodeText(field);
        }
        out += "\n";
    }
    return out;
}

std::string Browsers() {
    std::string ids;
    for (int id : cef_testing::BrowserIds()) ids += (ids.empty() ? "" : " ") + std::to_string(id);
    return Ok(ids);
}

using Handler = std::function<std::string(Arguments&)>;

// Commands whose arguments map one to one onto a cef_testing call, made
// only when every argument read well; each answers "ok" or "fail" with that
// call's result.
template <class Call>
Handler Simple(Call call) {
    return [call](Arguments& args) {
        bool result = call(args);
        return args.Finish() ? Result(result) : Error("bad arguments");
    };
}

const std::map<std::string, Handler>& Commands() {
    using namespace cef_testing;
    // Arguments are read into locals first: their order of evaluation inside
    // one call expression is unspecified.
    static const std::map<std::string, Handler> commands = {
        {"hello",
         [](Arguments& a) {
             return a.Finish() ? Ok(std::string("ashgrove-engine 1 ") +
                                    (IsTestBackend() ? "test" : "none"))
                               : Error("usage: hello");
         }},
        {"browsers",
         [](Arguments& a) { return a.Finish() ? Browsers() : Error("usage: browsers"); }},
        {"records", Records},
        {"finish-load", Simple([](Arguments& a) {
             int b = a.Int(), frames = a.Int(), status = a.Int();
             std::u16string url = a.Text();
             return a.Finish() && FinishLoad(b, frames, status, url);
         })},
        {"change-title", Simple([](Arguments& a) {
             int b = a.Int();
             std::u16string title = a.Text();
             return a.Finish() && ChangeTitle(b, title);
         })},
        {"change-address", Simple([](Arguments& a) {
             int b = a.Int(), frame = a.Int();
             std::u16string url = a.Text();
             return a.Finish() && ChangeAddress(b, frame, url);
         })},
        {"change-loading-state", Simple([](Arguments& a) {
             int b = a.Int();
             bool loading = a.Flag(), back = a.Flag(), forward = a.Flag();
             return a.Finish() && ChangeLoadingState(b, loading, back, forward);
         })},
        {"change-status", Simple([](Arguments& a) {
             int b = a.Int();
             std::u16string text = a.Text();
             return a.Finish() && ChangeStatus(b, text);
         })},
        {"load-error", Simple([](Arguments& a) {
             int b = a.Int(), frame = a.Int(), code = a.Int();
             std::u16string url = a.Text();
             return a.Finish() && ReportLoadError(b, frame, code, url);
         })},
        {"console", Simple([](Arguments& a) {
             int b = a.Int();
             std::u16string text = a.Text();
             return a.Finish() && ConsoleMessage(b, text);
         })},
        {"call-function", Simple([](Arguments& a) {
             int b = a.Int(), frame = a.Int();
             std::u16string name = a.Text();
             std::vector<ScriptArg> scriptArgs;
             while (a.Ok() && !a.AtEnd()) scriptArgs.push_back(a.Script());
             return a.Finish() && CallFunction(b, frame, name, scriptArgs);
         })},
        {"focus-element", Simple([](Arguments& a) {
             int b = a.Int(), frame = a.Int();
             bool element = a.Flag(), hasTitle = a.Flag();
             std::u16string title = a.Text();
             return a.Finish() && FocusElement(b, frame, element, hasTitle, title);
         })},
        {"set-has-body", Simple([](Arguments& a) {
             int b = a.Int(), frame = a.Int();
             bool hasBody = a.Flag();
             return a.Finish() && SetHasBody(b, frame, hasBody);
         })},
        {"query-body-attribute", Simple([](Arguments& a) {
             int b = a.Int(), frame = a.Int();
             std::u16string name = a.Text();
             return a.Finish() && QueryBodyAttribute(b, frame, name);
         })},
        {"request-popup", Simple([](Arguments& a) {
             int b = a.Int(), frame = a.Int();
             std::u16string url = a.Text(), frameName = a.Text();
             return a.Finish() && RequestPopup(b, frame, url, frameName);
         })},
        {"request-credentials", Simple([](Arguments& a) {
             int b = a.Int();
             bool proxy = a.Flag();
             std::u16string host = a.Text();
             int port = a.Int();
             std::u16string realm = a.Text(), scheme = a.Text();
             return a.Finish() && RequestCredentials(b, proxy, host, port, realm, scheme);
         })},
        {"start-download", Simple([](Arguments& a) {
             int b = a.Int();
             std::u16string url = a.Text(), name = a.Text();
             std::vector<DownloadProgress> steps;
             while (a.Ok() && !a.AtEnd()) steps.push_back(a.Progress());
             return a.Finish() && StartDownload(b, url, name, steps);
         })},
        {"context-menu", Simple([](Arguments& a) {
             int b = a.Int(), flags = a.Int(), entries = a.Int();
             return a.Finish() && OpenContextMenu(b, flags, entries);
         })},
        {"before-unload", Simple([](Arguments& a) {
             int b = a.Int();
             return a.Finish() && BeforeUnload(b);
         })},
        {"delay-browsers", Simple([](Arguments& a) {
             int milliseconds = a.Int();
             return a.Finish() && DelayBrowsers(milliseconds);
         })},
        {"kill-render", Simple([](Arguments& a) {
             int b = a.Int();
             return a.Finish() && KillRenderProcess(b);
         })},
        {"render-pid",
         [](Arguments& a) {
             int b = a.Int();
             return a.Finish() ? Ok(std::to_string(RenderProcessId(b)))
                               : Error("usage: render-pid <browser>");
         }},
        {"render-garbage", Simple([](Arguments& a) {
             int b = a.Int(), kind = a.Int();
             return a.Finish() && RenderSendsGarbage(b, kind);
         })},
    };
    return commands;
}

}  // namespace

std::string AutomationProtocol::EncodeText(const std::u16string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "=";
    for (unsigned char byte : ToWtf8(text)) {
        bool plain =
            (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') ||
            std::string("-._~:/?#@!$&'()*+,;=").find(static_cast<char>(byte)) != std::string::npos;
        if (plain && byte != 0) {
            out += static_cast<char>(byte);
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    return out;
}

bool AutomationProtocol::DecodeText(const std::string& token, std::u16string& text) {
    if (token.empty() || token[0] != '=') return false;
    std::string bytes;
    for (size_t i = 1; i < token.size(); ++i) {
        if (token[i] != '%') {
            bytes += token[i];
            continue;
        }
        int high = i + 2 < token.size() ? HexValue(token[i + 1]) : -1;
        int low = high >= 0 ? HexValue(token[i + 2]) : -1;
        if (low < 0) return false;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    text = FromUtf8(bytes);
    return true;
}

std::string AutomationProtocol::Answer(const std::string& request) {
    std::vector<std::string> tokens = Split(request);
    std::string command = tokens.front();
    tokens.erase(tokens.begin());
    auto it = Commands().find(command);
    if (it == Commands().end()) return Error("unknown command \"" + command + "\"");
    Arguments args(std::move(tokens));
    return it->second(args);
}

}  // namespace cefimpl
