// The application framework layer: thin C++ classes over Win32 with the
// names the client is written against. Everything the client includes from
// the framework comes through this header.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>

#include "afx/String.h"
#include "afx/CmdTarget.h"
#include "afx/WinThread.h"
#include "afx/WinApp.h"
#include "afx/Wnd.h"
#include "afx/Dialog.h"
#include "afx/Button.h"
#include "afx/FrameWnd.h"
#include "afx/MDIFrameWnd.h"
#include "afx/MDIChildWnd.h"
#include "afx/Document.h"
#include "afx/View.h"
#include "afx/DocTemplate.h"

#include "afx/AfxResource.h"
#include "afx/WideText.h"

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resources);

// A modal message box with the application's title as caption, owned by the
// window the user is working in.
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = (UINT)-1);
