// The prompt for the login page's address (dialog 256, edit 1002).
#pragma once

#include "app/AddressPrompt.h"
#include "res/resource.h"

class CDebugDialog : public CAddressPrompt {
public:
    CDebugDialog() : CAddressPrompt(IDD_LOGIN_ADDRESS, IDC_LOGIN_ADDRESS) {}
};
