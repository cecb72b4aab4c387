#pragma once

#include <functional>
#include <string>

#include "shell/auto_exec.h"
#include "shell/kv_component.h"

namespace vintrel {

/// Keeps an entry for a program in one of the system's auto-start lists, so
/// that the program starts when a user logs on. Every property acts at once:
/// the entry the old values describe is deleted, and when `AutoRun` is true
/// the one the new values describe is written. The entry outlives the
/// component.
class TkvAutoRun : public TkvComponent {
public:
    /// Tells the owner that the entry could not be written: `message` is a
    /// sentence for the user, with the reason. `AutoRun` keeps the value set.
    using TErrorEvent = std::function<void(TkvAutoRun& sender, const std::string& message)>;

    /// `AutoRun` false, `Kind` aekMachineRun, and `FileName` the running
    /// executable (empty at design time).
    explicit TkvAutoRun(TComponent* owner = nullptr);

    /// What was last set; the list is never read back.
    bool AutoRun() const { return autoRun_; }
    void SetAutoRun(bool autoRun);

    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string fileName);

    TkvAutoExecKind Kind() const { return kind_; }
    void SetKind(TkvAutoExecKind kind);

    /// Fires only when assigned.
    const TErrorEvent& OnError() const { return onError_; }
    void SetOnError(TErrorEvent handler) { onError_ = std::move(handler); }

    /// Writes the entry anew when `AutoRun` is set.
    void Loaded() override;

protected:
    /// Deletes the entry, then writes it when `AutoRun` is true.
    virtual void ApplyAutoRun();
    /// Deletes the entry the current properties describe.
    virtual void RemoveAutoRun();

private:
    template <class T>
    void Change(T& field, T value);

    bool autoRun_ = false;
    std::string fileName_;
    TkvAutoExecKind kind_ = aekMachineRun;
    TErrorEvent onError_;
};

}  // namespace vintrel
