// Cost of painting the game window's frame: one DrawFrame (caption, buttons,
// label and borders composed off screen, then drawn into the window) at two
// window sizes, beside a plain BitBlt of a window-sized bitmap into the same
// window as the floor. The pictures, the layout and the frame resource come
// from the shipped executable named on the command line.
//   DrawFrameBench.exe <Plover2.exe> [repetitions]
#include "afx/AfxGdiPlus.h"
#include "app/Plover2App.h"
#include "res/resource.h"
#include "shell/MainFrame.h"

#include <cstdio>
#include <cstdlib>

namespace {
double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

double DrawFrameMillis(CMainFrame& frame, int repetitions) {
    frame.DrawFrame();  // warm: fonts and pictures decoded once
    GdiFlush();
    double start = Now();
    for (int i = 0; i < repetitions; ++i) {
        frame.DrawFrame();
        GdiFlush();
    }
    return (Now() - start) * 1000.0 / repetitions;
}

double BitBltMillis(HWND window, int width, int height, int repetitions) {
    HDC target = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, width, height, BLACKNESS);
    double start = Now();
    for (int i = 0; i < repetitions; ++i) {
        BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        GdiFlush();
    }
    double millis = (Now() - start) * 1000.0 / repetitions;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, target);
    return millis;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: DrawFrameBench <Plover2.exe> [repetitions]\n");
        return 2;
    }
    int repetitions = argc > 2 ? std::atoi(argv[2]) : 200;
    HMODULE client =
        LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!client) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    AfxSetResourceHandle(client);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    theApp.LoadResources();
    if (!theApp.m_layout.games.empty()) theApp.SelectGame(theApp.m_layout.games.begin()->first);

    auto* frame = new CMainFrame;
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW)) {
        std::fprintf(stderr, "cannot create the frame\n");
        return 1;
    }
    theApp.m_hMainWnd = frame->m_hWnd;
    frame->ShowWindow(SW_SHOWNORMAL);
    std::printf("%-12s %14s %14s %8s\n", "window", "DrawFrame ms", "BitBlt ms", "ratio");
    const SIZE sizes[] = {{1024, 768}, {1920, 1080}};
    for (SIZE size : sizes) {
        frame->MoveWindow(0, 0, size.cx, size.cy, TRUE);
        Pump();
        double draw = DrawFrameMillis(*frame, repetitions);
        double floor = BitBltMillis(frame->m_hWnd, size.cx, size.cy, repetitions);
        char label[32];
        std::snprintf(label, sizeof label, "%ldx%ld", size.cx, size.cy);
        std::printf("%-12s %14.3f %14.3f %7.1fx\n", label, draw, floor, draw / floor);
        std::fflush(stdout);
    }
    frame->DestroyWindow();
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
