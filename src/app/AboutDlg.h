// The about box (dialog 100).
#pragma once

#include "afx/Afx.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(100) {}
};
