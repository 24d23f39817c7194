// The nine host services that the module calls through its host service callback.
#pragma once

#include <windows.h>

INT_PTR CALLBACK host_service(int code, INT_PTR a, INT_PTR b, INT_PTR c);
