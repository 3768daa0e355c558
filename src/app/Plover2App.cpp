#include "app/Plover2App.h"

#include "app/ImageManager.h"
#include "res/resource.h"

#include <cstring>

namespace {
// Picture ids the start-up loads; others in the resources are ignored.
constexpr int kPictureRanges[][2] = {{1001, 1199}, {10001, 10005}};

// A resource of `type` with the integer id, locked in memory, or none.
struct ResourceBytes {
    const void* data = nullptr;
    DWORD size = 0;
};

ResourceBytes FindResourceBytes(int id, LPCWSTR type) {
    HMODULE module = AfxGetResourceHandle();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return {};
    return {LockResource(loaded), SizeofResource(module, found)};
}
}  // namespace

CPlover2App::CPlover2App() = default;

BOOL CPlover2App::InitInstance() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();

    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusInput, nullptr);

    LoadResources();
    if (!m_layout.games.empty()) SelectGame(m_layout.games.begin()->first);

    // The windows come next; until they exist the client ends here.
    return FALSE;
}

int CPlover2App::ExitInstance() {
    CImageManager::Instance().Clear();
    if (m_gdiplusToken) Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
    return 0;
}

void CPlover2App::LoadResources() {
    std::vector<char> layout = LoadXmlResource(IDR_LAYOUT_XML);
    if (!layout.empty()) m_layout.LoadFromText(layout.data());

    for (const auto& range : kPictureRanges) {
        for (int id = range[0]; id <= range[1]; ++id) {
            std::unique_ptr<Gdiplus::Bitmap> bitmap = LoadPngResource(id);
            if (bitmap) CImageManager::Instance().Add(id, bitmap, false);
        }
    }
}

std::unique_ptr<Gdiplus::Bitmap> CPlover2App::LoadPngResource(int id) {
    ResourceBytes png = FindResourceBytes(id, L"PNG");
    if (!png.data) return nullptr;
    return CreateBitmapFromMemory(png.data, png.size);
}

std::vector<char> CPlover2App::LoadXmlResource(int id) {
    ResourceBytes xml = FindResourceBytes(id, L"XML");
    if (!xml.data) return {};
    std::vector<char> text(xml.size + 1, '\0');
    std::memcpy(text.data(), xml.data, xml.size);
    return text;
}

std::unique_ptr<Gdiplus::Bitmap> CPlover2App::CreateBitmapFromMemory(const void* bytes,
                                                                     size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(memory);

    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    // GDI+ keeps its own reference to the stream for as long as it needs
    // the bytes; a picture that fails to decode comes back all the same and
    // measures 0 x 0.
    // GDI+ objects come from its own allocator, which answers null when out of
    // memory rather than throwing.
    std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(stream));
    stream->Release();
    return bitmap;
}

void CPlover2App::SelectGame(const std::u16string& name) {
    if (m_layout.games.count(name)) m_currentGame = name;
}

WebPanel* CPlover2App::FindWeb(const std::u16string& window, const std::u16string& function) {
    return m_layout.FindWeb(m_currentGame, window, function);
}

WebPanel* CPlover2App::FindGameMainWeb(const std::u16string& function) {
    return m_layout.FindGameMainWeb(m_currentGame, function);
}
