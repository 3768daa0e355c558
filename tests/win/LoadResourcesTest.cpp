// Start-up's resource loading, run over the test program's own resources.
#include "app/ImageManager.h"
#include "app/Plover2App.h"

#include <gtest/gtest.h>

namespace {
class LoadResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxSetResourceHandle(GetModuleHandleW(nullptr));
        CImageManager::Instance().Clear();
    }
    void TearDown() override { CImageManager::Instance().Clear(); }
};
}  // namespace

TEST_F(LoadResourcesTest, LoadsOnlyTheTwoIdRanges) {
    CPlover2App app;
    app.LoadResources();
    CImageManager& store = CImageManager::Instance();
    for (int id : {1001, 1005, 1199, 10001, 10005}) {
        EXPECT_NE(store.Find(id), nullptr) << id;
    }
    for (int id : {1000, 1200, 10000, 10006}) {
        EXPECT_EQ(store.Find(id), nullptr) << id << " lies outside the loaded ranges";
    }
}

TEST_F(LoadResourcesTest, PictureThatFailsToDecodeIsStoredEmpty) {
    CPlover2App app;
    app.LoadResources();
    Gdiplus::Bitmap* broken = CImageManager::Instance().Find(1005);
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->GetWidth(), 0u);
    EXPECT_EQ(broken->GetHeight(), 0u);
    Gdiplus::Bitmap* good = CImageManager::Instance().Find(1001);
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(good->GetWidth(), 19u);
}

TEST_F(LoadResourcesTest, LayoutIsParsedAndSelectGameOnlyTakesKnownNames) {
    CPlover2App app;
    app.LoadResources();
    ASSERT_EQ(app.m_layout.games.size(), 2u);
    EXPECT_EQ(app.m_layout.games.begin()->first, u"a");

    app.SelectGame(u"b");
    EXPECT_EQ(app.m_currentGame, u"b");
    app.SelectGame(u"missing");
    EXPECT_EQ(app.m_currentGame, u"b");
    ASSERT_NE(app.CurrentGame(), nullptr);
    EXPECT_EQ(app.CurrentGame()->login.width, 10);
}

TEST_F(LoadResourcesTest, AbsentResourcesGiveNothing) {
    EXPECT_EQ(CPlover2App::LoadPngResource(4242), nullptr);
    EXPECT_TRUE(CPlover2App::LoadXmlResource(4242).empty());
    EXPECT_TRUE(CPlover2App::LoadXmlResource(1001).empty()) << "a PNG id is no XML resource";
}

TEST(CreateBitmapFromMemory, DecodesAnInMemoryFileAndSurvivesGarbage) {
    AfxSetResourceHandle(GetModuleHandleW(nullptr));
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(10001), L"PNG");
    ASSERT_NE(found, nullptr);
    const void* bytes = LockResource(LoadResource(nullptr, found));
    auto bitmap = CPlover2App::CreateBitmapFromMemory(bytes, SizeofResource(nullptr, found));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 94u);

    const char garbage[] = "GIF89a but nothing after";
    auto empty = CPlover2App::CreateBitmapFromMemory(garbage, sizeof garbage);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetWidth(), 0u);
}
