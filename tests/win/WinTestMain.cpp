// Entry point of the Windows tests: GDI+ runs for the whole program, as it
// does in the client between start-up and exit.
#include "afx/AfxGdiPlus.h"

#include <gtest/gtest.h>

namespace {
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&m_token, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};
}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);
    return RUN_ALL_TESTS();
}
