#pragma once

#include <functional>
#include <vector>

#include "shell/component.h"
#include "shell/icon_image.h"

namespace vintrel {

class TCustomImageList;

/// Through a change link an image list tells a listener that its images changed.
class TChangeLink {
public:
    TChangeLink() = default;
    /// Stops listening to the list it is registered with.
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    TCustomImageList* Sender() const { return sender_; }
    std::function<void()> OnChange;

private:
    friend class TCustomImageList;
    TCustomImageList* sender_ = nullptr;
};

/// A list of images, counted from 0.
class TCustomImageList : public TComponent {
public:
    using TComponent::TComponent;
    /// Its links forget it.
    ~TCustomImageList() override;

    virtual int Count() const = 0;
    /// Image `index` as an icon; the empty icon when there is no such image.
    virtual IconImage GetIcon(int index) const = 0;

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);

protected:
    /// Tells every registered link that the images changed.
    void Change();

private:
    std::vector<TChangeLink*> links_;
};

}  // namespace vintrel
