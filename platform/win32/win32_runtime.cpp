#include "platform/win32/win32_runtime.h"
