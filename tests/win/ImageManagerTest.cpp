#include "app/ImageManager.h"

#include <gtest/gtest.h>

namespace {
// A bitmap that reports its own deletion, so the store's ownership rules can
// be watched.
class WatchedBitmap : public Gdiplus::Bitmap {
public:
    explicit WatchedBitmap(int* deletions) : Gdiplus::Bitmap(1, 1), m_deletions(deletions) {}
    ~WatchedBitmap() override { ++*m_deletions; }

private:
    int* m_deletions;
};

std::unique_ptr<Gdiplus::Bitmap> Watched(int* deletions) {
    return std::make_unique<WatchedBitmap>(deletions);
}
}  // namespace

TEST(ImageManager, AddWithoutReplaceKeepsTheFirstAndLeavesTheSecondToTheCaller) {
    CImageManager store;
    int deletedA = 0, deletedB = 0;
    auto a = Watched(&deletedA);
    auto b = Watched(&deletedB);
    Gdiplus::Bitmap* rawA = a.get();
    Gdiplus::Bitmap* rawB = b.get();

    EXPECT_EQ(store.Add(5, a, false), 1);
    EXPECT_FALSE(a);
    EXPECT_EQ(store.Add(5, b, false), 0);
    ASSERT_TRUE(b) << "a refused bitmap stays with the caller";
    EXPECT_EQ(b.get(), rawB);
    EXPECT_EQ(store.Find(5), rawA);
    EXPECT_EQ(deletedA, 0);

    EXPECT_EQ(store.Add(5, b, true), 1);
    EXPECT_EQ(deletedA, 1) << "replacing deletes the earlier bitmap";
    EXPECT_EQ(store.Find(5), rawB);
    EXPECT_EQ(deletedB, 0);
}

TEST(ImageManager, ClearDeletesEverythingAndFindsNothingAfterwards) {
    CImageManager store;
    store.Clear();  // an empty store clears without effect
    int deleted = 0;
    for (int id : {1, 1001, 10005}) {
        auto bitmap = Watched(&deleted);
        ASSERT_EQ(store.Add(id, bitmap, false), 1);
    }
    store.Clear();
    EXPECT_EQ(deleted, 3);
    for (int id : {1, 1001, 10005}) EXPECT_EQ(store.Find(id), nullptr);
}

TEST(ImageManager, DestructionDeletesStoredBitmaps) {
    int deleted = 0;
    {
        CImageManager store;
        auto bitmap = Watched(&deleted);
        store.Add(7, bitmap, false);
    }
    EXPECT_EQ(deleted, 1);
}

TEST(ImageManager, NullBitmapIsRefused) {
    CImageManager store;
    std::unique_ptr<Gdiplus::Bitmap> none;
    EXPECT_EQ(store.Add(3, none, false), 0);
    EXPECT_EQ(store.Find(3), nullptr);
}

TEST(ImageManager, InstanceIsOneProcessWideStore) {
    EXPECT_EQ(&CImageManager::Instance(), &CImageManager::Instance());
}
