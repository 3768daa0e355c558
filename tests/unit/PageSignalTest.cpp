#include "cef/backend/chromium/NetError.h"
#include "cef/backend/chromium/PageSignal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace cefimpl::chromium;

TEST(PageSignalTest, PopupsAndFocusChanges) {
    auto popup = ParsePageSignal(R"({"t":"popup","url":"http://127.0.0.1/game","name":"_game"})");
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->kind, PageSignal::kPopup);
    EXPECT_EQ(popup->url, u"http://127.0.0.1/game");
    EXPECT_EQ(popup->frameName, u"_game");

    auto focus = ParsePageSignal(
        "{\"t\":\"focus\",\"element\":true,\"hasTitle\":true,\"title\":\"S1 \xe7\x81\xb0\"}");
    ASSERT_TRUE(focus);
    EXPECT_EQ(focus->kind, PageSignal::kFocus);
    EXPECT_TRUE(focus->element);
    EXPECT_TRUE(focus->hasTitle);
    EXPECT_EQ(focus->title, u"S1 \u7070");
}

TEST(PageSignalTest, CallArgumentsKeepTheirKinds) {
    auto call = ParsePageSignal(
        R"({"t":"call","name":"OpenGameWindow","args":[{"u":1},null,true,{"i":-7},{"d":1.5},)"
        R"({"d":"NaN"},{"d":"-Infinity"},"S1",{"i":2147483647}]})");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->function, u"OpenGameWindow");
    ASSERT_EQ(call->args.size(), 9u);
    EXPECT_EQ(call->args[0].kind, SignalValue::kUndefined);
    EXPECT_EQ(call->args[1].kind, SignalValue::kNull);
    EXPECT_EQ(call->args[2].kind, SignalValue::kBool);
    EXPECT_TRUE(call->args[2].boolValue);
    EXPECT_EQ(call->args[3].kind, SignalValue::kInt);
    EXPECT_EQ(call->args[3].intValue, -7);
    EXPECT_EQ(call->args[4].kind, SignalValue::kDouble);
    EXPECT_EQ(call->args[4].doubleValue, 1.5);
    EXPECT_TRUE(std::isnan(call->args[5].doubleValue));
    EXPECT_TRUE(std::isinf(call->args[6].doubleValue) && call->args[6].doubleValue < 0);
    EXPECT_EQ(call->args[7].stringValue, u"S1");
    EXPECT_EQ(call->args[8].intValue, 2147483647);
}

TEST(PageSignalTest, AnythingElseIsNoSignal) {
    // A page may call the binding itself with whatever it likes.
    const std::string bad[] = {
        "",
        "not json",
        "[]",
        R"({"t":"popup","url":"x"})",
        R"({"t":"popup","url":1,"name":""})",
        R"({"t":"focus","element":"yes","hasTitle":false,"title":""})",
        R"({"t":"call","name":"f"})",
        R"({"t":"call","name":"f","args":[{"i":2147483648}]})",
        R"({"t":"call","name":"f","args":[{"i":1.5}]})",
        R"({"t":"call","name":"f","args":[{"d":"many"}]})",
        R"({"t":"call","name":"f","args":[[1]]})",
        R"({"t":"call","name":"f","args":[{"x":1}]})",
        R"({"t":"launch"})",
        R"({"t":"call","name":"f","args":[{"u":{"a":{"b":{"c":1}}}}]})",
        std::string(100000, '[') + std::string(100000, ']'),
        "{\"t\":\"popup\",\"url\":\"" + std::string(2 << 20, 'a') + "\",\"name\":\"\"}",
    };
    for (const std::string& payload : bad) {
        EXPECT_FALSE(ParsePageSignal(payload)) << payload.substr(0, 80);
    }
}

TEST(PageSignalTest, ScriptsNameTheBindingAndTheFunctions) {
    EXPECT_NE(PageScript().find(kSignalBinding), std::string::npos);
    const std::string functions = FunctionsScript({u"OpenGameWindow", u"say \"hi\""});
    EXPECT_NE(functions.find(R"((["OpenGameWindow","say \"hi\""]);)"), std::string::npos);
}

TEST(NetErrorTest, NamesBecomeTheEngineNumbers) {
    const struct {
        const char* text;
        int code;
    } cases[] = {
        {"", 0},
        {"net::ERR_NAME_NOT_RESOLVED", -105},
        {"ERR_NAME_NOT_RESOLVED", -105},
        {"net::ERR_CONNECTION_REFUSED", -102},
        {"net::ERR_ABORTED", -3},
        {"net::ERR_SOMETHING_NEW", -2},
    };
    for (const auto& c : cases) EXPECT_EQ(NetErrorCode(c.text), c.code) << c.text;
}
