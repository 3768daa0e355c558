#include "TestApp.h"

#include "cef/CefDOM.h"
#include "cef/CefTask.h"

#include <mutex>

namespace {

std::mutex g_mutex;
std::string g_contextInitializedThread;

std::string ThreadName() {
    if (CefCurrentlyOn(TID_UI)) return "UI";
    if (CefCurrentlyOn(TID_IO)) return "IO";
    return CefCurrentlyOn(TID_RENDERER) ? "renderer" : "other";
}

class ScriptFunctions : public CefV8Handler {
public:
    explicit ScriptFunctions(CefRefPtr<CefBrowser> browser) : m_browser(browser) {}

    bool Execute(const CefString& name, CefRefPtr<CefV8Value>, const CefV8ValueList& arguments,
                 CefRefPtr<CefV8Value>&, CefString& exception) override {
        if (name == CefString("Throw")) {
            exception = "thrown";
            return true;
        }
        if (name != CefString("Report")) return false;
        CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("Reported");
        CefRefPtr<CefListValue> list = message->GetArgumentList();
        for (size_t i = 0; i < arguments.size(); ++i) {
            list->SetString(i, arguments[i]->GetStringValue());
        }
        list->SetBool(arguments.size(), CefCurrentlyOn(TID_RENDERER));
        m_browser->SendProcessMessage(PID_BROWSER, message);
        return true;
    }

private:
    CefRefPtr<CefBrowser> m_browser;

    IMPLEMENT_REFCOUNTING(ScriptFunctions);
};

class FocusedVisitor : public CefDOMVisitor {
public:
    void Visit(CefRefPtr<CefDOMDocument> document) override {
        CefRefPtr<CefDOMNode> node = document->GetFocusedNode();
        hasNode = node != nullptr;
        if (!node) return;
        hasTitle = node->HasElementAttribute("title");
        title = node->GetElementAttribute("title");
        tag = node->GetElementTagName();
    }

    bool hasNode = false;
    bool hasTitle = false;
    CefString title;
    CefString tag;

    IMPLEMENT_REFCOUNTING(FocusedVisitor);
};

class BodyVisitor : public CefDOMVisitor {
public:
    BodyVisitor(const CefString& name, const CefString& value) : m_name(name), m_value(value) {}
    void Visit(CefRefPtr<CefDOMDocument> document) override {
        CefRefPtr<CefDOMNode> body = document->GetBody();
        hadBody = body != nullptr;
        if (body) body->SetElementAttribute(m_name, m_value);
    }

    bool hadBody = false;

private:
    CefString m_name;
    CefString m_value;

    IMPLEMENT_REFCOUNTING(BodyVisitor);
};

bool Reply(CefRefPtr<CefBrowser> browser, CefRefPtr<CefProcessMessage> reply) {
    browser->SendProcessMessage(PID_BROWSER, reply);
    return true;
}

}  // namespace

void TestApp::OnBeforeCommandLineProcessing(const CefString&,
                                            CefRefPtr<CefCommandLine> commandLine) {
    commandLine->AppendSwitch("disable-web-security");
    commandLine->AppendSwitch("disable-gpu-compositing");
}

void TestApp::OnContextInitialized() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_contextInitializedThread = ThreadName();
}

std::string TestApp::ContextInitializedThread() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_contextInitializedThread;
}

void TestApp::OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                               CefRefPtr<CefV8Context> context) {
    CefRefPtr<CefV8Handler> handler = new ScriptFunctions(browser);
    for (const char* name : {"Report", "Throw", "Decline"}) {
        context->GetGlobal()->SetValue(name, CefV8Value::CreateFunction(name, handler),
                                       V8_PROPERTY_ATTRIBUTE_NONE);
    }
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("ContextCreated");
    CefRefPtr<CefListValue> list = message->GetArgumentList();
    list->SetString(0, frame->GetName());
    list->SetBool(1, frame->IsMain());
    list->SetString(2, frame->GetURL());
    list->SetDouble(3, static_cast<double>(frame->GetIdentifier()));
    list->SetBool(4, CefCurrentlyOn(TID_RENDERER));
    browser->SendProcessMessage(PID_BROWSER, message);
}

bool TestApp::OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId,
                                       CefRefPtr<CefProcessMessage> message) {
    std::string name = message->GetName().ToString();
    CefRefPtr<CefListValue> args = message->GetArgumentList();
    if (name == "Echo") {
        CefRefPtr<CefProcessMessage> reply = CefProcessMessage::Create("Echo-reply");
        CefRefPtr<CefListValue> copy = args->Copy();
        for (size_t i = 0; i < copy->GetSize(); ++i) {
            switch (copy->GetType(i)) {
                case VTYPE_BOOL:
                    reply->GetArgumentList()->SetBool(i, copy->GetBool(i));
                    break;
                case VTYPE_INT:
                    reply->GetArgumentList()->SetInt(i, copy->GetInt(i));
                    break;
                case VTYPE_DOUBLE:
                    reply->GetArgumentList()->SetDouble(i, copy->GetDouble(i));
                    break;
                case VTYPE_STRING:
                    reply->GetArgumentList()->SetString(i, copy->GetString(i));
                    break;
                default:
                    reply->GetArgumentList()->SetNull(i);
                    break;
            }
        }
        return Reply(browser, reply);
    }
    if (name == "Flood") {
        for (int i = 0; i < args->GetInt(0); ++i) {
            CefRefPtr<CefProcessMessage> reply = CefProcessMessage::Create("Flood-reply");
            reply->GetArgumentList()->SetInt(0, i);
            browser->SendProcessMessage(PID_BROWSER, reply);
        }
        return true;
    }
    if (name == "Focused") {
        CefRefPtr<FocusedVisitor> visitor = new FocusedVisitor();
        CefRefPtr<CefFrame> frame = browser->GetFocusedFrame();
        frame->VisitDOM(visitor.get());
        CefRefPtr<CefProcessMessage> reply = CefProcessMessage::Create("Focused-reply");
        CefRefPtr<CefListValue> list = reply->GetArgumentList();
        list->SetBool(0, visitor->hasNode);
        list->SetBool(1, visitor->hasTitle);
        list->SetString(2, visitor->title);
        list->SetString(3, visitor->tag);
        list->SetString(4, frame->GetName());
        return Reply(browser, reply);
    }
    if (name == "SetBodyAttribute") {
        CefRefPtr<BodyVisitor> visitor = new BodyVisitor(args->GetString(0), args->GetString(1));
        browser->GetFocusedFrame()->VisitDOM(visitor.get());
        CefRefPtr<CefProcessMessage> reply = CefProcessMessage::Create("Body-set");
        reply->GetArgumentList()->SetBool(0, visitor->hadBody);
        return Reply(browser, reply);
    }
    if (name == "Browser") {
        CefRefPtr<CefProcessMessage> reply = CefProcessMessage::Create("Browser-reply");
        CefRefPtr<CefListValue> list = reply->GetArgumentList();
        list->SetInt(0, browser->GetIdentifier());
        list->SetBool(1, browser->GetHost() != nullptr);
        list->SetBool(2, browser->GetMainFrame() && browser->GetMainFrame()->IsMain());
        list->SetInt(3, static_cast<int>(browser->GetFrameCount()));
        return Reply(browser, reply);
    }
    if (name == "Threads") {
        CefRefPtr<CefProcessMessage> reply = CefProcessMessage::Create("Threads-reply");
        reply->GetArgumentList()->SetBool(0, CefCurrentlyOn(TID_RENDERER));
        reply->GetArgumentList()->SetBool(1, CefCurrentlyOn(TID_UI));
        return Reply(browser, reply);
    }
    return false;
}
