// A document of the game window. It holds no data: its title names the web
// panel its view shows ("game", "homepage", "bbs").
#pragma once

#include "afx/Afx.h"

class CPlover2Doc : public CDocument {
public:
    BOOL OnNewDocument() override;
};
