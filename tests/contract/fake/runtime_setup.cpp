#include "platform/fake/fake_runtime.h"
#include "platform/portable/file_errors.h"
#include "tests/contract/runtime_contract.h"

namespace kdesk::contract {

namespace {

class FakeRuntimeSetup : public RuntimeSetup {
public:
    FakeRuntimeSetup() {
        runtime_.AddFolder(root_);
        runtime_.SetOwnFolder(L"C:\\Programmi\\KdeskSupport");
        runtime_.AddFolder(L"C:\\Programmi\\KdeskSupport");
    }

    Runtime& runtime() override { return runtime_; }
    const std::wstring& Root() const override { return root_; }
    void MakeFolder(const std::wstring& path, std::uint32_t extraAttributes) override {
        runtime_.AddFolder(path, extraAttributes);
    }
    void MakeFile(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) override {
        runtime_.AddFile(path, bytes, attributes);
    }
    void Lock(const std::wstring& path) override { runtime_.LockFile(path); }

    std::optional<std::wstring> FolderOn(Unreachable volume) override {
        switch (volume) {
            case Unreachable::MissingDrive:
                return L"Q:\\Kdesk";
            case Unreachable::MissingServer:
                return L"\\\\kdesk-no-such-host.invalid\\kdesk\\Dati";
            case Unreachable::MissingShare:
                runtime_.AddFolder(L"\\\\cassa1\\kdesk\\Dati");
                return L"\\\\cassa1\\kdesk-no-such-share\\Dati";
            case Unreachable::DriveNotReady:
                runtime_.AddFolder(L"E:\\Dati");
                runtime_.SetVolumeFault(L"E:", kWin32NotReady);
                return L"E:\\Dati";
        }
        return std::nullopt;
    }

private:
    FakeRuntime runtime_;
    std::wstring root_ = L"C:\\Temp\\kdesk-contract";
};

}  // namespace

std::unique_ptr<RuntimeSetup> MakeRuntimeSetup() { return std::make_unique<FakeRuntimeSetup>(); }

}  // namespace kdesk::contract
