#include "shell/kv_auto_run.h"

#include <utility>

#include "platform/executable_path.h"

namespace vintrel {

TkvAutoRun::TkvAutoRun(TComponent* owner) : TkvComponent(owner) {
    if (!Designing()) fileName_ = RunningExecutablePath();
}

template <class T>
void TkvAutoRun::Change(T& field, T value) {
    if (field == value) return;
    RemoveAutoRun();
    field = std::move(value);
    ApplyAutoRun();
}

void TkvAutoRun::SetAutoRun(bool autoRun) {
    Change(autoRun_, autoRun);
}

void TkvAutoRun::SetFileName(std::string fileName) {
    Change(fileName_, std::move(fileName));
}

void TkvAutoRun::SetKind(TkvAutoExecKind kind) {
    Change(kind_, kind);
}

void TkvAutoRun::Loaded() {
    TkvComponent::Loaded();
    ApplyAutoRun();
}

void TkvAutoRun::ApplyAutoRun() {
    if (Designing()) return;
    RemoveAutoRun();
    if (!autoRun_) return;
    // A failed write is not kept silent: the user asked for the program to
    // start at logon and must know that it will not.
    const AutoStartResult written = TryRegisterAutoExec(kind_, fileName_);
    if (!written.ok && onError_) {
        onError_(*this, "Vintrel could not be set to start at logon: " + written.reason + ".");
    }
}

void TkvAutoRun::RemoveAutoRun() {
    if (Designing()) return;
    UnregisterAutoExec(kind_, fileName_);
}

}  // namespace vintrel
