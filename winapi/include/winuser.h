// Filled by the area that implements it.
#pragma once

#include "windef.h"
