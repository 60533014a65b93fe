#include "platform/win32/mail/upload/pending_task.h"

namespace kdesk {

bool RegisterPendingTask() { return false; }

void DeletePendingTask() {}

}  // namespace kdesk
