#pragma once

#include <string>

namespace brenvik {

inline constexpr int kLockPictureUnlocked = 132;
inline constexpr int kLockPictureLocked = 135;

// The two main-window controls a state read brings up to date. Called on the UI thread only.
class MainWindowHooks {
public:
    virtual ~MainWindowHooks() = default;
    // The text of the custom name field 1147: the unit's name, or "Custom Name".
    virtual void ShowCustomNameText(const std::u16string& text) = 0;
    // The picture of the lock button 1005: kLockPictureLocked or kLockPictureUnlocked.
    virtual void ShowLockPicture(int picture) = 0;
};

} // namespace brenvik
