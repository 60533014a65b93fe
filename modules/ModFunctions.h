#pragma once
// The system functions the program uses, reached through the platform services.
#include "platform/controls.h"
#include "platform/mail.h"
#include "platform/platform.h"
#include "platform/runtime_error.h"
