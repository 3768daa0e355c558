#include "afx/Afx.h"
#include "afx/CreationHook.h"

// The dialog procedure only starts the dialog: every other message reaches
// the object through its subclassed window procedure first.
static INT_PTR CALLBACK AfxDlgProc(HWND window, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    CDialog* dialog = static_cast<CDialog*>(CWnd::FromHandlePermanent(window));
    return dialog ? dialog->OnInitDialog() : TRUE;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOkCommand)
ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    if (parent) m_pParentWnd = parent;
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    HWND window;
    {
        AfxCreationHook hook(this);
        window = CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(templateId), owner,
                                    AfxDlgProc, 0);
    }
    if (!window && m_hWnd) Detach();
    return window != nullptr;
}

HWND CDialog::ModalOwner() const {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner && AfxGetApp()) owner = AfxGetApp()->m_hMainWnd;
    // A modal dialog owned by a child would disable only that child.
    while (owner && (GetWindowLongW(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
    return owner;
}

INT_PTR CDialog::DoModal() {
    HWND owner = ModalOwner();
    bool disabledOwner = owner && ::IsWindowEnabled(owner);
    CWnd* savedParent = m_pParentWnd;
    m_pParentWnd = CWnd::FromHandle(owner);
    m_modal = true;
    m_endModal = false;
    m_modalResult = -1;
    if (!Create(m_nIDTemplate, m_pParentWnd)) {
        m_pParentWnd = savedParent;
        m_modal = false;
        return -1;
    }
    if (disabledOwner) ::EnableWindow(owner, FALSE);
    if (!m_endModal) {
        ShowWindow(SW_SHOW);
        RunModalLoop();
    }
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    DestroyWindow();
    m_pParentWnd = savedParent;
    m_modal = false;
    return m_modalResult;
}

void CDialog::RunModalLoop() {
    MSG msg;
    while (!m_endModal) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the outer loop
            break;
        }
        if (got == -1) break;
        // The application sees every message first, as in its own loop.
        CWinApp* app = AfxGetApp();
        if (!(app ? app->PreTranslateMessage(&msg) : PreTranslateMessage(&msg))) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void CDialog::EndDialog(int result) {
    m_modalResult = result;
    if (m_modal) {
        m_endModal = true;
        // Wake the modal loop if it waits for a message.
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else {
        ::EndDialog(m_hWnd, result);
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    // Dialog keyboard navigation (Tab, Enter, Escape) for messages meant for
    // this dialog or its controls.
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    return ::IsDialogMessageW(m_hWnd, msg);
}

void DDX_Text(CDataExchange* exchange, int controlId, CString& value) {
    HWND control = ::GetDlgItem(exchange->m_pDlgWnd->m_hWnd, controlId);
    if (!control) return;
    if (exchange->m_bSaveAndValidate) {
        value = CWnd::FromHandle(control)->GetWindowText();
    } else {
        ::SetWindowTextW(control, value);
    }
}
