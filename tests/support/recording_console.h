#pragma once

#include "multiviewer/core/multiviewer_observer.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace brenvik::test {

// The console as a multiviewer session sees it: keeps everything the session tells its observers,
// in order. Owning thread only, like the session.
class RecordingObserver : public MultiviewerObserver {
public:
    void FieldChanged(const MultiviewerChange& change) override { changes.push_back(change); }
    void Replaced(RereadCause cause) override { replaced.push_back(cause); }
    void NameShown(const std::optional<std::u16string>& name) override { names.push_back(name); }
    void LockShown(bool locked) override { locks.push_back(locked); }

    // How often `field` was told changed since the last Clear.
    int Count(MultiviewerField field) const {
        return static_cast<int>(
            std::count_if(changes.begin(), changes.end(),
                          [field](const MultiviewerChange& c) { return c.field == field; }));
    }
    void Clear() {
        changes.clear();
        replaced.clear();
        names.clear();
        locks.clear();
    }

    std::vector<MultiviewerChange> changes;
    std::vector<RereadCause> replaced;
    std::vector<std::optional<std::u16string>> names;
    std::vector<bool> locks;
};

} // namespace brenvik::test
