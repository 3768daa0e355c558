#include "app/AddressPrompt.h"

#include "res/resource.h"

void CAddressPrompt::OnOK() {
    if (m_text.IsEmpty()) {
        AfxMessageBox(IDS_EMPTY_ADDRESS, MB_OK);
        return;
    }
    CDialog::OnOK();
}

BOOL CAddressPrompt::OnCmdMsg(UINT id, UINT code) {
    if (static_cast<int>(id) == m_editId && code == EN_CHANGE) {
        OnEditChange();
        return TRUE;
    }
    return CDialog::OnCmdMsg(id, code);
}
