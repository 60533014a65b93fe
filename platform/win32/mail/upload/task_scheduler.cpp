#include "platform/win32/mail/upload/task_scheduler.h"

namespace kdesk {

TaskSchedulerRoot::TaskSchedulerRoot() {
    if (!com_.Complete()) return;
    // A thread already in a single-threaded apartment keeps it (the answer is
    // RPC_E_CHANGED_MODE, and that apartment is not this object's to leave).
    const HRESULT joined = com_.initialize(nullptr, COINIT_MULTITHREADED);
    uninitialize_ = SUCCEEDED(joined);
    if (FAILED(joined) && joined != RPC_E_CHANGED_MODE) return;
    if (FAILED(com_.createInstance(__uuidof(TaskScheduler), nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITaskService),
                                   reinterpret_cast<void**>(service_.Out()))))  // NOLINT(cppcoreguidelines-pro-type-reinterpret-cast)
        return;
    const Variant none(com_);
    if (FAILED(service_->Connect(none.Get(), none.Get(), none.Get(), none.Get()))) return;
    const Bstr root(com_, L"\\");
    if (FAILED(service_->GetFolder(root.Get(), folder_.Out()))) folder_.Reset();
}

TaskSchedulerRoot::~TaskSchedulerRoot() {
    folder_.Reset();
    service_.Reset();
    if (uninitialize_) com_.uninitialize();
}

}  // namespace kdesk
