#pragma once
// The bundle of outside services, made once in app/ (or in a test) and passed by
// reference to the forms and modules.
#include "platform/registry.h"
#include "platform/runtime.h"
#include "platform/shell.h"
#include "platform/version_info.h"

namespace kdesk {

struct Platform {
    Runtime& runtime;
    Registry& registry;
    Shell& shell;
    VersionInfo& versionInfo;
};

}  // namespace kdesk
