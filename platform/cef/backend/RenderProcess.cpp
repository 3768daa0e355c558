#include "cef/backend/RenderProcess.h"

#include "cef/backend/FunctionTask.h"
#include "cef/backend/ProcessMessageImpl.h"
#include "cef/backend/ThreadRegistry.h"
#include "cef/backend/V8ValueImpl.h"
#include "cef/backend/WireValues.h"

#include <cstdio>

namespace cefimpl {
namespace {

using cef_testing::ScriptArg;

void Complain(const std::string& text) {
    fprintf(stderr, "engine(render %lu): %s\n", GetCurrentProcessId(), text.c_str());
    fflush(stderr);
}

CefRefPtr<CefV8Value> ToV8(const ScriptArg& arg) {
    switch (arg.kind) {
        case ScriptArg::kNull:
            return CefV8Value::CreateNull();
        case ScriptArg::kBool:
            return CefV8Value::CreateBool(arg.boolValue);
        case ScriptArg::kInt:
            return CefV8Value::CreateInt(arg.intValue);
        case ScriptArg::kDouble:
            return CefV8Value::CreateDouble(arg.doubleValue);
        case ScriptArg::kString:
            return CefV8Value::CreateString(arg.stringValue);
        default:
            return CefV8Value::CreateUndefined();
    }
}

std::string MalformedGarbage(int kind) {
    switch (kind) {
        case cef_testing::kGarbageOversized:
            return std::string("\xF0\xFF\xFF\x7F", 4) + "never this long";
        case cef_testing::kGarbageUnknownType:
            return std::string("\x03\x00\x00\x00\xEE\x01\x02", 7);
        default: {
            // A process message whose name claims 1000 units and has one.
            WireWriter writer(WireType::kToBrowser);
            writer.U32(1000).U8('x').U8(0);
            return writer.Frame();
        }
    }
}

}  // namespace

RenderProcess::RenderProcess(CefRefPtr<CefApp> app, CefRefPtr<CefCommandLine> commandLine)
    : m_commandLine(commandLine), m_handler(app ? app->GetRenderProcessHandler() : nullptr) {}

int RenderProcess::Run() {
    std::wstring channel = m_commandLine->GetSwitchValue("engine-channel").ToWString();
    int browserId = _wtoi(m_commandLine->GetSwitchValue("engine-browser-id").ToWString().c_str());
    if (channel.empty() || browserId <= 0) {
        Complain("started without --engine-channel and --engine-browser-id");
        return 1;
    }
    m_channel = PipeChannel::Connect(channel, *this);
    if (!m_channel) {
        Complain("cannot open the channel to the browser process");
        return 1;
    }
    m_browser =
        new RenderBrowser(browserId, [this](const std::string& frame) { return Send(frame); });
    // The render thread takes tasks before the first frame can arrive.
    if (!m_thread.AttachToCurrentThread()) {
        Complain("the render thread cannot start");
        return 1;
    }
    ThreadRegistry::Register(TID_RENDERER, &m_thread);
    WireWriter hello(WireType::kHello);
    hello.U32(GetCurrentProcessId()).Str(m_commandLine->GetCommandLineString().ToString16());
    Send(hello.Frame());
    if (m_channel->Start()) m_thread.RunLoop();
    ThreadRegistry::Unregister(TID_RENDERER);
    m_browser->Close();
    m_channel->Stop();
    return 0;
}

bool RenderProcess::Send(const std::string& frame) { return m_channel && m_channel->Send(frame); }

CefRefPtr<RenderFrame> RenderProcess::Frame(int index) { return m_browser->FrameAt(index); }

// ---- Channel thread: decoding ------------------------------------------------

std::string RenderProcess::OnFrame(const std::string& payload) {
    WireReader reader(payload);
    auto type = static_cast<WireType>(reader.U8());
    std::function<void()> work;
    switch (type) {
        case WireType::kContextCreated: {
            int64_t id = reader.I64();
            int index = reader.I32();
            CefString name = reader.Str();
            reader.Bool();  // main: the index says it already
            CefString url = reader.Str();
            work = [=] { ContextCreated(id, index, name, url); };
            break;
        }
        case WireType::kToRender: {
            CefString name = reader.Str();
            CefRefPtr<CefListValueImpl> list = ReadList(reader);
            CefRefPtr<CefProcessMessage> message = new CefProcessMessageImpl(name, list);
            work = [=] { ProcessMessage(message); };
            break;
        }
        case WireType::kCallFunction: {
            int index = reader.I32();
            CefString name = reader.Str();
            std::vector<ScriptArg> args = ReadScriptArgs(reader);
            work = [=] { CallFunction(index, name, args); };
            break;
        }
        case WireType::kFocusElement: {
            int index = reader.I32();
            bool element = reader.Bool();
            bool hasTitle = reader.Bool();
            CefString title = reader.Str();
            work = [=] {
                if (CefRefPtr<RenderFrame> frame = Frame(index)) {
                    frame->Focus(element, hasTitle, title);
                    m_browser->SetFocusedFrame(index);
                }
            };
            break;
        }
        case WireType::kSetHasBody: {
            int index = reader.I32();
            bool hasBody = reader.Bool();
            work = [=] {
                if (CefRefPtr<RenderFrame> frame = Frame(index)) frame->SetHasBody(hasBody);
            };
            break;
        }
        case WireType::kQueryBody: {
            int index = reader.I32();
            CefString name = reader.Str();
            work = [=] { QueryBody(index, name); };
            break;
        }
        case WireType::kSendGarbage: {
            int kind = reader.I32();
            work = [=] { SendGarbage(kind); };
            break;
        }
        case WireType::kQuit:
            m_thread.Quit();
            return reader.Finish() ? std::string() : "malformed quit message";
        default:
            return "unknown message type " + std::to_string(static_cast<int>(type));
    }
    if (!reader.Finish()) return "malformed message of type " + std::to_string(int(type));
    m_thread.Post(new FunctionTask(std::move(work)));
    return std::string();
}

void RenderProcess::OnClosed(const ChannelEnd& end) {
    if (end.kind != ChannelEnd::kStopped && end.kind != ChannelEnd::kPeerGone) {
        Complain("channel closed: " + end.detail);
    }
    // Without its browser process a render process has nothing to do.
    m_thread.Quit();
}

// ---- Render thread ------------------------------------------------------------

void RenderProcess::ContextCreated(int64_t id, int index, const CefString& name,
                                   const CefString& url) {
    CefRefPtr<RenderFrame> frame = m_browser->PrepareFrame(index, id, name);
    CefRefPtr<CefV8ContextImpl> context = frame ? frame->NewDocument(url) : nullptr;
    if (!context) return;
    if (m_handler) m_handler->OnContextCreated(m_browser.get(), frame.get(), context.get());
    // A real browser's page calls these through the backend, which must
    // learn their names to offer them to the page.
    std::vector<std::u16string> names = context->Global()->FunctionNames();
    WireWriter writer(WireType::kGlobalFunctions);
    writer.I32(index).U32(static_cast<uint32_t>(names.size()));
    for (const std::u16string& name : names) writer.Str(name);
    Send(writer.Frame());
}

void RenderProcess::ProcessMessage(CefRefPtr<CefProcessMessage> message) {
    if (m_handler) m_handler->OnProcessMessageReceived(m_browser.get(), PID_BROWSER, message);
}

void RenderProcess::CallFunction(int index, const CefString& name,
                                 const std::vector<ScriptArg>& args) {
    std::u16string outcome;
    CefRefPtr<RenderFrame> frame = Frame(index);
    CefRefPtr<CefV8Context> context = frame ? frame->GetV8Context() : nullptr;
    CefRefPtr<CefV8Value> global = context ? context->GetGlobal() : nullptr;
    CefRefPtr<CefV8Value> function = global ? global->GetValue(name) : nullptr;
    if (!frame) {
        outcome = u"no-frame";
    } else if (!function || !function->IsFunction() || !function->GetFunctionHandler()) {
        outcome = u"no-function";
    } else {
        CefV8ValueList values;
        for (const ScriptArg& arg : args) values.push_back(ToV8(arg));
        CefRefPtr<CefV8Value> retval;
        CefString exception;
        bool handled = function->GetFunctionHandler()->Execute(function->GetFunctionName(), global,
                                                               values, retval, exception);
        if (!exception.empty()) {
            outcome = u"exception: " + exception.ToString16();
        } else {
            outcome = handled ? u"handled" : u"not-handled";
        }
    }
    WireWriter writer(WireType::kScriptResult);
    writer.I32(index).Str(name.ToString16()).Str(outcome);
    Send(writer.Frame());
}

void RenderProcess::QueryBody(int index, const CefString& name) {
    CefRefPtr<RenderFrame> frame = Frame(index);
    CefString value;
    bool hasBody = frame && frame->ReadBodyAttribute(name, value);
    WireWriter writer(WireType::kBodyAttribute);
    writer.I32(index).Str(name.ToString16()).Bool(hasBody).Str(value.ToString16());
    Send(writer.Frame());
}

void RenderProcess::SendGarbage(int kind) { Send(MalformedGarbage(kind)); }

}  // namespace cefimpl
