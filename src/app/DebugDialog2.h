// The prompt for the logout page's address (dialog 257, edit 1004).
#pragma once

#include "app/AddressPrompt.h"
#include "res/resource.h"

class CDebugDialog2 : public CAddressPrompt {
public:
    CDebugDialog2() : CAddressPrompt(IDD_LOGOUT_ADDRESS, IDC_LOGOUT_ADDRESS) {}
};
