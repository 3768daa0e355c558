// Commands and their answers, events by method and session, and what is
// left when a connection or a target goes away.
#include "cef/backend/chromium/CdpSession.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using cefimpl::chromium::CdpResponse;
using cefimpl::chromium::CdpSession;
using nlohmann::json;
using Dispatched = CdpSession::Dispatched;

// A session whose answers and events are written down as they arrive.
class CdpSessionTest : public testing::Test {
protected:
    CdpSession::ResponseHandler Record(const std::string& name) {
        return [this, name](const CdpResponse& response) {
            const std::string outcome =
                response.ok ? response.result.dump()
                            : std::to_string(response.errorCode) + " " + response.errorMessage;
            heard.push_back(name + ": " + outcome);
        };
    }
    CdpSession::HandlerId Listen(const std::string& method, const std::string& sessionId) {
        return session.On(method, sessionId, [this, method, sessionId](const json& params) {
            heard.push_back(method + "@" + sessionId + " " + params.dump());
        });
    }

    CdpSession session;
    std::vector<std::string> heard;
};

TEST_F(CdpSessionTest, CommandsAreNumberedFromOne) {
    EXPECT_EQ(json::parse(session.Command("Target.getTargets")),
              json::parse(R"({"id":1,"method":"Target.getTargets","params":{}})"));
    EXPECT_EQ(
        json::parse(session.Command("Page.navigate", {{"url", "about:blank"}}, "S1")),
        json::parse(
            R"({"id":2,"method":"Page.navigate","params":{"url":"about:blank"},"sessionId":"S1"})"));
    EXPECT_EQ(json::parse(session.Command("Page.enable", nullptr)),
              json::parse(R"({"id":3,"method":"Page.enable"})"));
    EXPECT_EQ(session.PendingCount(), 3u);
}

TEST_F(CdpSessionTest, BrokenUtf8InParametersIsReplacedNotThrown) {
    const std::string text = session.Command("Input.insertText", {{"text", "a\xff"}});
    EXPECT_EQ(json::parse(text)["params"]["text"], "a\xef\xbf\xbd");
}

TEST_F(CdpSessionTest, AnswersFindTheirCommandsInAnyOrder) {
    session.Command("A", json::object(), "", Record("A"));
    session.Command("B", json::object(), "S1", Record("B"));
    session.Command("C", json::object(), "", Record("C"));
    EXPECT_EQ(session.Dispatch(R"({"id":3,"result":{"x":3}})"), Dispatched::kResponse);
    EXPECT_EQ(session.Dispatch(R"({"id":1,"error":{"code":-32601,"message":"'A' wasn't found"}})"),
              Dispatched::kResponse);
    EXPECT_EQ(session.Dispatch(R"({"id":2,"result":{},"sessionId":"S1"})"), Dispatched::kResponse);
    EXPECT_EQ(heard,
              (std::vector<std::string>{R"(C: {"x":3})", "A: -32601 'A' wasn't found", "B: {}"}));
    EXPECT_EQ(session.PendingCount(), 0u);
}

TEST_F(CdpSessionTest, AnAnswerIsTakenOnce) {
    session.Command("A", json::object(), "", Record("A"));
    session.Command("B");  // nobody waits for this answer, but it is still expected
    EXPECT_EQ(session.Dispatch(R"({"id":1,"result":{}})"), Dispatched::kResponse);
    EXPECT_EQ(session.Dispatch(R"({"id":1,"result":{}})"), Dispatched::kUnknownId);
    EXPECT_EQ(session.Dispatch(R"({"id":2})"), Dispatched::kResponse);
    EXPECT_EQ(session.Dispatch(R"({"id":7,"result":{}})"), Dispatched::kUnknownId);
    EXPECT_EQ(heard, std::vector<std::string>{"A: {}"});
}

TEST_F(CdpSessionTest, MalformedErrorsStillFailTheCommand) {
    session.Command("A", json::object(), "", Record("A"));
    session.Command("B", json::object(), "", Record("B"));
    session.Dispatch(R"({"id":1,"error":"gone"})");
    session.Dispatch(R"({"id":2,"error":{"code":"x","message":5}})");
    EXPECT_EQ(heard, (std::vector<std::string>{"A: 0 ", "B: 0 "}));
}

TEST_F(CdpSessionTest, EventsGoByMethodAndSession) {
    Listen("Page.loadEventFired", "S1");
    Listen("Page.loadEventFired", "");
    Listen("Target.attachedToTarget", "");
    EXPECT_EQ(session.Dispatch(
                  R"({"method":"Page.loadEventFired","params":{"timestamp":1},"sessionId":"S1"})"),
              Dispatched::kEvent);
    EXPECT_EQ(session.Dispatch(
                  R"({"method":"Page.loadEventFired","params":{"timestamp":2},"sessionId":"S2"})"),
              Dispatched::kUnhandledEvent);
    EXPECT_EQ(session.Dispatch(R"({"method":"Page.loadEventFired"})"), Dispatched::kEvent);
    EXPECT_EQ(session.Dispatch(R"({"method":"Page.frameNavigated","params":{},"sessionId":"S1"})"),
              Dispatched::kUnhandledEvent);
    EXPECT_EQ(heard, (std::vector<std::string>{R"(Page.loadEventFired@S1 {"timestamp":1})",
                                               "Page.loadEventFired@ {}"}));
}

TEST_F(CdpSessionTest, HandlersOfOneEventRunInOrderUntilRemoved) {
    session.On("E", "", [this](const json&) { heard.push_back("first"); });
    const CdpSession::HandlerId second =
        session.On("E", "", [this](const json&) { heard.push_back("second"); });
    session.On("E", "", [this](const json&) { heard.push_back("third"); });
    session.Dispatch(R"({"method":"E"})");
    session.Off(second);
    session.Dispatch(R"({"method":"E"})");
    EXPECT_EQ(heard, (std::vector<std::string>{"first", "second", "third", "first", "third"}));
}

TEST_F(CdpSessionTest, HandlersMaySendAndSubscribeAtOnce) {
    // Handlers run outside the session's lock; holding it here would hang.
    session.Command("Target.createTarget", json::object(), "", [this](const CdpResponse&) {
        session.Command("Target.attachToTarget");
        Listen("Page.loadEventFired", "S1");
    });
    CdpSession::HandlerId once = 0;
    once =
        session.On("Target.targetCreated", "", [this, &once](const json&) { session.Off(once); });
    session.Dispatch(R"({"id":1,"result":{"targetId":"T"}})");
    EXPECT_EQ(session.Dispatch(R"({"method":"Target.targetCreated"})"), Dispatched::kEvent);
    EXPECT_EQ(session.Dispatch(R"({"method":"Target.targetCreated"})"),
              Dispatched::kUnhandledEvent);
    EXPECT_EQ(session.PendingCount(), 1u);
    EXPECT_EQ(session.Dispatch(R"({"method":"Page.loadEventFired","sessionId":"S1"})"),
              Dispatched::kEvent);
}

TEST_F(CdpSessionTest, RefusesMessagesThatAreNeitherAnswerNorEvent) {
    session.Command("A", json::object(), "", Record("A"));
    const char* const malformed[] = {
        "",
        "not json",
        "{\"id\":1",
        "[]",
        "42",
        "null",
        R"({"id":"1","result":{}})",
        R"({"id":1.5,"result":{}})",
        R"({"id":null})",
        R"({"method":3})",
        R"({"params":{}})",
        "{}",
    };
    for (const char* text : malformed)
        EXPECT_EQ(session.Dispatch(text), Dispatched::kMalformed) << text;
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(session.PendingCount(), 1u);
}

TEST_F(CdpSessionTest, ALostConnectionFailsEveryWaitingCommand) {
    session.Command("A", json::object(), "", Record("A"));
    session.Command("B", json::object(), "S1", Record("B"));
    session.FailPending("connection closed");
    EXPECT_EQ(heard,
              (std::vector<std::string>{"A: 0 connection closed", "B: 0 connection closed"}));
    EXPECT_EQ(session.PendingCount(), 0u);
    EXPECT_EQ(session.Dispatch(R"({"id":1,"result":{}})"), Dispatched::kUnknownId);
}

TEST_F(CdpSessionTest, ADetachedTargetTakesOnlyItsOwnCommandsAndHandlers) {
    session.Command("A", json::object(), "S1", Record("A"));
    session.Command("B", json::object(), "S2", Record("B"));
    Listen("E", "S1");
    Listen("E", "S2");
    session.ForgetSession("S1");
    EXPECT_EQ(heard, std::vector<std::string>{"A: 0 target detached"});
    EXPECT_EQ(session.Dispatch(R"({"method":"E","sessionId":"S1"})"), Dispatched::kUnhandledEvent);
    EXPECT_EQ(session.Dispatch(R"({"method":"E","sessionId":"S2"})"), Dispatched::kEvent);
    EXPECT_EQ(session.Dispatch(R"({"id":2,"result":{}})"), Dispatched::kResponse);
}

}  // namespace
