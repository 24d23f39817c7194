// The Win32 subset that the module is written against, implemented by libwinapi.so.
// Only what the layer implements is declared here.
#pragma once

#include "windef.h"
#include "wincrt.h"
#include "winbase.h"
#include "wingdi.h"
#include "winuser.h"
