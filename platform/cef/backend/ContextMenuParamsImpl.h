// Where and on what a context menu was asked for.
#pragma once

#include "cef/CefClient.h"

namespace cefimpl {

class CefContextMenuParamsImpl : public CefContextMenuParams {
public:
    explicit CefContextMenuParamsImpl(int typeFlags) : m_typeFlags(typeFlags) {}
    int GetTypeFlags() override { return m_typeFlags; }
    int GetXCoord() override { return 0; }
    int GetYCoord() override { return 0; }

private:
    const int m_typeFlags;

    IMPLEMENT_REFCOUNTING(CefContextMenuParamsImpl);
};

}  // namespace cefimpl
