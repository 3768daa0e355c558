// Values, script values and the engine's text: the rules clients rely on.
#include "cef/CefV8.h"
#include "cef/CefValues.h"
#include "cef/backend/WireValues.h"

#include <gtest/gtest.h>

namespace {

TEST(ValuesTest, ListReadsOfAnotherTypeOrPastTheEndAreEmpty) {
    CefRefPtr<CefListValue> list = CefListValue::Create();
    list->SetString(2, "text");  // grows the list; the gap reads as null
    list->SetInt(0, 7);
    EXPECT_EQ(list->GetSize(), 3u);
    EXPECT_EQ(list->GetType(1), VTYPE_NULL);
    EXPECT_EQ(list->GetType(3), VTYPE_INVALID);
    EXPECT_TRUE(list->GetString(0).empty());
    EXPECT_EQ(list->GetInt(2), 0);
    EXPECT_FALSE(list->GetBool(2));
    EXPECT_EQ(list->GetDouble(0), 0.0);
    EXPECT_TRUE(list->GetString(9).empty());
    EXPECT_EQ(list->GetInt(0), 7);
}

TEST(ValuesTest, CopiesAreIndependent) {
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("PopGameWindow");
    message->GetArgumentList()->SetString(0, "http://game.test/");
    CefRefPtr<CefProcessMessage> copy = message->Copy();
    message->GetArgumentList()->SetString(0, "changed");
    EXPECT_EQ(copy->GetName(), CefString("PopGameWindow"));
    EXPECT_EQ(copy->GetArgumentList()->GetString(0), CefString("http://game.test/"));
}

TEST(ValuesTest, ScriptValuesGiveAStringOnlyForStrings) {
    const CefRefPtr<CefV8Value> notStrings[] = {
        CefV8Value::CreateUndefined(), CefV8Value::CreateNull(),      CefV8Value::CreateBool(true),
        CefV8Value::CreateInt(12),     CefV8Value::CreateDouble(1.5), CefV8Value::CreateObject(),
    };
    for (const auto& value : notStrings) EXPECT_TRUE(value->GetStringValue().empty());
    EXPECT_EQ(CefV8Value::CreateString("caption")->GetStringValue(), CefString("caption"));
    // An integral double is an int too, as script numbers are.
    EXPECT_TRUE(CefV8Value::CreateDouble(5.0)->IsInt());
    EXPECT_FALSE(CefV8Value::CreateDouble(5.5)->IsInt());
    EXPECT_TRUE(CefV8Value::CreateInt(5)->IsDouble());
}

TEST(ValuesTest, ObjectPropertiesHonourReadOnly) {
    CefRefPtr<CefV8Value> global = CefV8Value::CreateObject();
    EXPECT_FALSE(CefV8Value::CreateInt(1)->SetValue("x", global, V8_PROPERTY_ATTRIBUTE_NONE));
    EXPECT_TRUE(global->GetValue("missing")->IsUndefined());
    EXPECT_TRUE(
        global->SetValue("fixed", CefV8Value::CreateInt(1), V8_PROPERTY_ATTRIBUTE_READONLY));
    EXPECT_FALSE(global->SetValue("fixed", CefV8Value::CreateInt(2), V8_PROPERTY_ATTRIBUTE_NONE));
    EXPECT_EQ(global->GetValue("fixed")->GetIntValue(), 1);
    EXPECT_TRUE(global->SetValue("free", CefV8Value::CreateInt(1), V8_PROPERTY_ATTRIBUTE_NONE));
    EXPECT_TRUE(global->SetValue("free", CefV8Value::CreateInt(2), V8_PROPERTY_ATTRIBUTE_NONE));
    EXPECT_EQ(global->GetValue("free")->GetIntValue(), 2);
}

TEST(ValuesTest, TextConvertsToUtf8AndBack) {
    EXPECT_EQ(CefString(u"\u6e38\u620f").ToString(), "\xE6\xB8\xB8\xE6\x88\x8F");
    EXPECT_EQ(CefString("\xE6\xB8\xB8\xE6\x88\x8F").ToString16(), u"\u6e38\u620f");
    EXPECT_EQ(CefString(u"\U0001F3AE").ToString(), "\xF0\x9F\x8E\xAE");
    // Text that UTF-8 cannot carry, or bytes that are not UTF-8, turn into U+FFFD.
    EXPECT_EQ(CefString(std::u16string(1, char16_t(0xD800))).ToString(), "\xEF\xBF\xBD");
    EXPECT_EQ(CefString("a\xFF"
                        "b")
                  .ToString16(),
              u"a\uFFFDb");
    EXPECT_EQ(CefString("\xC0\xAF").ToString16(), u"\uFFFD\uFFFD");  // overlong '/'
}

// ---- The pipe's value lists ---------------------------------------------------------

std::string ListFrame(CefRefPtr<CefListValue> list) {
    cefimpl::WireWriter writer(cefimpl::WireType::kToBrowser);
    cefimpl::WriteList(writer, list);
    return writer.Frame().substr(5);  // without length and type
}

TEST(ValuesTest, ValueListsSurviveTheWire) {
    CefRefPtr<CefListValue> list = CefListValue::Create();
    list->SetBool(0, true);
    list->SetInt(1, -42);
    list->SetDouble(2, 0.1);
    list->SetNull(3);
    list->SetString(4, std::u16string(u"a\0b\xD800\xDC00\xDFFF", 6));
    list->SetString(5, "");
    std::string payload = ListFrame(list);
    cefimpl::WireReader reader(payload);
    CefRefPtr<CefListValue> back = cefimpl::ReadList(reader);
    ASSERT_TRUE(back && reader.Finish());
    ASSERT_EQ(back->GetSize(), 6u);
    EXPECT_TRUE(back->GetBool(0));
    EXPECT_EQ(back->GetInt(1), -42);
    EXPECT_EQ(back->GetDouble(2), 0.1);
    EXPECT_EQ(back->GetType(3), VTYPE_NULL);
    EXPECT_EQ(back->GetString(4).ToString16(), list->GetString(4).ToString16());
    EXPECT_EQ(back->GetType(5), VTYPE_STRING);
}

TEST(ValuesTest, MalformedValueListsAreRefused) {
    CefRefPtr<CefListValue> list = CefListValue::Create();
    list->SetString(0, "text");
    std::string good = ListFrame(list);
    std::string countTooLarge = good;
    countTooLarge[0] = '\x7F';
    std::string lengthTooLarge = good;
    lengthTooLarge[5] = '\x7F';  // the string's unit count
    std::string badTag = good;
    badTag[4] = '\x09';
    const std::string malformed[] = {good.substr(0, good.size() - 1), countTooLarge, lengthTooLarge,
                                     badTag, std::string("\xFF\xFF\xFF\xFF", 4)};
    for (const std::string& payload : malformed) {
        cefimpl::WireReader reader(payload);
        EXPECT_FALSE(cefimpl::ReadList(reader));
        EXPECT_FALSE(reader.Finish());
    }
    std::string trailing = good + "x";
    cefimpl::WireReader reader(trailing);
    EXPECT_TRUE(cefimpl::ReadList(reader));
    EXPECT_FALSE(reader.Finish());
}

}  // namespace
