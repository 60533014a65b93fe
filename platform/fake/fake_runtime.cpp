#include "platform/fake/fake_runtime.h"
