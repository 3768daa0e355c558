// Process messages between the browser process and the render process, in
// both directions, with any text.
#include "BrowserTest.h"

namespace {

using ProcessMessageTest = BrowserTest;

std::u16string OneMegabyte() {
    std::u16string text(1 << 20, u'x');
    for (size_t i = 0; i < text.size(); i += 1000) text[i] = static_cast<char16_t>(u'a' + i % 26);
    return text;
}

TEST_F(ProcessMessageTest, TextOfAnyKindGoesThereAndBack) {
    const std::u16string texts[] = {
        u"",
        OneMegabyte(),
        std::u16string(u"before\0after", 12),
        u"\u767b\u5f55\u6e38\u620f\u670d\u52a1\u5668",  // Chinese
        u"\U0001F3AE pair",                             // a surrogate pair
        std::u16string(1, char16_t(0xD800)) + u"lone high",
        u"lone low" + std::u16string(1, char16_t(0xDC00)),
        std::u16string{char16_t(0xDC00), char16_t(0xD800)},  // a pair the wrong way round
    };
    for (size_t i = 0; i < sizeof texts / sizeof texts[0]; ++i) {
        SCOPED_TRACE("text " + std::to_string(i));
        CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("Echo");
        message->GetArgumentList()->SetInt(0, static_cast<int>(i));
        message->GetArgumentList()->SetString(1, texts[i]);
        ClientEvent reply;
        ASSERT_TRUE(Ask(message, "Echo-reply", &reply));
        CefRefPtr<CefListValue> args = reply.message->GetArgumentList();
        EXPECT_EQ(args->GetInt(0), static_cast<int>(i));
        EXPECT_EQ(args->GetType(1), VTYPE_STRING);
        EXPECT_TRUE(args->GetString(1).ToString16() == texts[i]);
        EXPECT_EQ(reply.thread, "UI");
        EXPECT_EQ(reply.numbers[0], PID_RENDERER);
        EXPECT_EQ(reply.browserId, Id());
    }
}

TEST_F(ProcessMessageTest, EveryValueTypeKeepsItsType) {
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("Echo");
    CefRefPtr<CefListValue> list = message->GetArgumentList();
    list->SetBool(0, true);
    list->SetInt(1, -2147483647 - 1);
    list->SetDouble(2, 2.5e-300);
    list->SetNull(3);
    list->SetString(4, "s");
    ClientEvent reply;
    ASSERT_TRUE(Ask(message, "Echo-reply", &reply));
    CefRefPtr<CefListValue> args = reply.message->GetArgumentList();
    ASSERT_EQ(args->GetSize(), 5u);
    EXPECT_EQ(args->GetType(0), VTYPE_BOOL);
    EXPECT_TRUE(args->GetBool(0));
    EXPECT_EQ(args->GetInt(1), -2147483647 - 1);
    EXPECT_EQ(args->GetDouble(2), 2.5e-300);
    EXPECT_EQ(args->GetType(3), VTYPE_NULL);
    EXPECT_EQ(args->GetString(4), CefString("s"));
}

TEST_F(ProcessMessageTest, BothDirectionsAreRecorded) {
    RecordCursor records;
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("Echo");
    message->GetArgumentList()->SetString(0, "recorded");
    message->GetArgumentList()->SetInt(1, 3);
    ASSERT_TRUE(Ask(message, "Echo-reply"));
    cef_testing::Record sent, received;
    ASSERT_TRUE(records.WaitFor("to-render", Id(), &sent));
    ASSERT_TRUE(records.WaitFor("to-browser", Id(), &received));
    EXPECT_EQ(sent.fields, (std::vector<std::u16string>{u"Echo", u"recorded", u"3"}));
    EXPECT_EQ(received.fields, (std::vector<std::u16string>{u"Echo-reply", u"recorded", u"3"}));
}

TEST_F(ProcessMessageTest, ThePageSendsThroughItsScriptFunction) {
    std::u16string odd = std::u16string(u"\u6e38\0", 2) + std::u16string(1, char16_t(0xDBFF));
    ASSERT_TRUE(cef_testing::CallFunction(
        Id(), 0, u"Report", {cef_testing::ScriptArg::String(odd), cef_testing::ScriptArg::Int(7)}));
    ClientEvent reported;
    ASSERT_TRUE(s_client->WaitFor("OnProcessMessageReceived", &reported, [](const ClientEvent& e) {
        return e.message->GetName() == CefString("Reported");
    }));
    CefRefPtr<CefListValue> args = reported.message->GetArgumentList();
    EXPECT_TRUE(args->GetString(0).ToString16() == odd);
    EXPECT_TRUE(args->GetString(1).empty()) << "a number has no string value";
}

TEST_F(ProcessMessageTest, NothingGoesToTheBrowserProcessFromItself) {
    EXPECT_FALSE(s_browser->SendProcessMessage(PID_BROWSER, CefProcessMessage::Create("Echo")));
    EXPECT_FALSE(s_browser->SendProcessMessage(PID_RENDERER, nullptr));
}

}  // namespace
