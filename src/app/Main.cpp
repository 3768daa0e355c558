// The application object of the executable. Test programs link the same
// classes without it.
#include "app/Plover2App.h"

CPlover2App theApp;
