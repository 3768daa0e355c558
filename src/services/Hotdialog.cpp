#include "services/Hotdialog.h"

#include "afx/WideText.h"
#include "res/resource.h"
#include "services/BossKeyValue.h"
#include "services/File.h"
#include "services/Hotkey.h"

BEGIN_MESSAGE_MAP(Hotdialog, CDialog)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

Hotdialog::Hotdialog(CWnd* parent) : CDialog(IDD_HOTKEY, parent) {}

Hotdialog::~Hotdialog() = default;

void Hotdialog::DoDataExchange(CDataExchange* exchange) {
    CDialog::DoDataExchange(exchange);
    m_hotKey.Bind(m_hWnd, IDC_HOTKEY);
}

BOOL Hotdialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CString line = File().ReadFirstLine(kBossKeyPath);
    if (line.IsEmpty()) return TRUE;
    uint16_t saved = BossKeyValue::ParseSavedLine(ToU16(line.Str()));
    // Only a key with one modifier is shown; the field cannot show the others
    // the way they were registered.
    if (auto shown = BossKeyValue::SingleModifierFieldValue(saved)) {
        m_hotKey.SendMessage(HKM_SETHOTKEY, *shown, 0);
    }
    return TRUE;
}

void Hotdialog::OnOK() {
    WORD value = static_cast<WORD>(m_hotKey.GetHotKey());
    if (!BossKeyValue::HasModifiers(value)) {
        AfxMessageBox(L"至少使用 ctrl、shift、alt 其中之一的键 ", MB_OK);
        return;
    }
    Hotkey().Apply(value);
    EndDialog(IDOK);
}
