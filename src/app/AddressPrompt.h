// An address prompt, shown when the layout leaves a page unconfigured. The
// entered text is taken as typed; only an empty one is refused.
#pragma once

#include "afx/Afx.h"

class CAddressPrompt : public CDialog {
public:
    CAddressPrompt(UINT templateId, int editId) : CDialog(templateId), m_editId(editId) {}

    CString m_text;

protected:
    void DoDataExchange(CDataExchange* exchange) override { DDX_Text(exchange, m_editId, m_text); }
    void OnOK() override;
    // Keeps the member equal to what the edit control shows.
    void OnEditChange() { UpdateData(TRUE); }
    BOOL OnCmdMsg(UINT id, UINT code) override;

private:
    int m_editId;
};
