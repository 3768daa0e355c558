#include "afx/Afx.h"

#include <gtest/gtest.h>

TEST(AfxString, FormatGrowsPastItsFirstBuffer) {
    std::wstring longText(1000, L'x');
    CString text;
    text.Format(L"[%s] %d", longText.c_str(), 42);
    EXPECT_EQ(text.Str(), L"[" + longText + L"] 42");
}

TEST(AfxString, CompareNoCaseIgnoresLetterCaseOnly) {
    EXPECT_EQ(CString(L"Game").CompareNoCase(L"gAME"), 0);
    EXPECT_NE(CString(L"game").CompareNoCase(L"games"), 0);
    EXPECT_NE(CString(L"game").CompareNoCase(nullptr), 0);
    EXPECT_EQ(CString().CompareNoCase(nullptr), 0);
}

TEST(AfxString, LoadStringOfAMissingIdIsFalseAndEmpty) {
    CString text(L"before");
    EXPECT_FALSE(text.LoadString(65000));
    EXPECT_TRUE(text.IsEmpty());
}
