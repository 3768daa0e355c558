// The application object: start-up, the embedded resources, the layout model
// and the current game, shutdown.
#pragma once

#include "afx/AfxGdiPlus.h"
#include "layout/LayoutConfig.h"

#include <memory>
#include <string>
#include <vector>

class CPlover2App : public CWinApp {
public:
    CPlover2App();

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The layout description into m_layout, then every embedded picture into
    // the image store.
    void LoadResources();
    static std::unique_ptr<Gdiplus::Bitmap> LoadPngResource(int id);
    // The resource's bytes followed by one zero byte; empty when absent.
    static std::vector<char> LoadXmlResource(int id);
    static std::unique_ptr<Gdiplus::Bitmap> CreateBitmapFromMemory(const void* bytes, size_t size);

    // Makes `name` the current game when the layout has it.
    void SelectGame(const std::u16string& name);
    const GameConfig* CurrentGame() const { return m_layout.FindGame(m_currentGame); }
    WebPanel* FindWeb(const std::u16string& window, const std::u16string& function);
    WebPanel* FindGameMainWeb(const std::u16string& function);

    LayoutConfig m_layout;
    ULONG_PTR m_gdiplusToken = 0;
    std::u16string m_currentGame;
};

extern CPlover2App theApp;
