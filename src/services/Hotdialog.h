// Hotdialog: the boss-key dialog (resource 258) with its hot-key field.
#pragma once

#include "afx/Afx.h"
#include "afx/HotKeyCtrl.h"

class Hotdialog : public CDialog {
public:
    explicit Hotdialog(CWnd* parent = nullptr);
    ~Hotdialog() override;

    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;
    // Applies the chosen key, or keeps the dialog open when it has no modifier.
    void OnOK() override;

    CHotKeyCtrl m_hotKey;

protected:
    DECLARE_MESSAGE_MAP()
};
