// CDialog: a dialog from a resource template, modeless (Create) or modal
// (DoModal, with the framework's own modal loop so the application still
// pre-translates every message), with data exchange between controls and
// members.
#pragma once

#include "afx/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Copies between an edit control and a string: into the string when saving.
void DDX_Text(CDataExchange* exchange, int controlId, CString& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr);

    // Modeless.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* exchange) { (void)exchange; }

    BOOL PreTranslateMessage(MSG* msg) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

protected:
    void OnOkCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }
    DECLARE_MESSAGE_MAP()

private:
    HWND ModalOwner() const;
    void RunModalLoop();

    bool m_modal = false;
    bool m_endModal = false;
    INT_PTR m_modalResult = -1;
};
