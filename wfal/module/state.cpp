#include "module/state.h"

ModuleState wfal;
