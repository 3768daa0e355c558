#include "app/Plover2Doc.h"

BOOL CPlover2Doc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return FALSE;
    // Untitled until the screen switching gives it a panel's name.
    SetTitle(L"");
    return TRUE;
}
