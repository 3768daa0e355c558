// Entry point of the services tests: the hot-key field's window class and
// the client's own dialog resources are there for the whole program.
#include "afx/Afx.h"

#include <gtest/gtest.h>

namespace {
class ClientResourcesEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&controls));
        m_module = LoadLibraryExW(TEXT(CLIENT_EXE), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr) << "cannot open " << CLIENT_EXE;
        AfxSetResourceHandle(m_module);
    }
    void TearDown() override {
        AfxSetResourceHandle(GetModuleHandleW(nullptr));
        if (m_module) FreeLibrary(m_module);
    }

private:
    HMODULE m_module = nullptr;
};
}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ClientResourcesEnvironment);
    return RUN_ALL_TESTS();
}
