#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brenvik {

// A field of the multiviewer's record, as the session reports its changes. Indexed fields name
// the window, input or loop output 1..16 that changed, or 0 when every entry did.
enum class MultiviewerField : std::uint8_t {
    LayoutCode,        // layoutCode, and with it the window rectangles
    WindowSource,      // windowSource[window]
    LoopRoute,         // loopRoute[output], and with it the switcher cells
    UmdOn,             // umdOn[window]
    UmdAllOn,          // umdAllOn
    UmdTextColor,      // umdTextColor[input]
    UmdBackColor,      // umdBackColor[input]
    FormatTextColor,   // formatTextColor[window]
    FormatBackColor,   // formatBackColor[window]
    TimecodeTextColor, // timecodeTextColor[window]
    TimecodeBackColor, // timecodeBackColor[window]
    ColourSelection,   // umdColorInput and formatColorWindow, the colour page's selections
    Border,            // borderOn
    FormatStatus,      // formatStatusOn
    Timecode,          // timecodeOn
    AudioAlarm,        // audioAlarmOn
    OutputFormat,      // outputFormat
    AudioSource,       // audioSource
    MeterOn,           // meterOn[window]
    MeterAllOn,        // meterAllOn
    MeterChannel,      // meterChannel[window]
    MeterWindow,       // meterWindow, the audio page's window
    Signal,            // signalPresent, signalFormat and formatTexts of a window
    InputName,         // inputNames[input]
    SwitcherMode,      // switcherMode
    CustomName,        // customName
};

struct MultiviewerChange {
    MultiviewerField field;
    int index = 0;
    bool operator==(const MultiviewerChange&) const = default;
};

// Why the whole record was read again.
enum class RereadCause : std::uint8_t {
    Opening,         // the unit's page opened
    UnitReplaced,    // the unit reported that it replaced its settings (0x0B, 0x38)
    UnitLoadedCustom, // the unit reported that it loaded a custom memory (0x59)
    LoadDefault,     // the console sent Load Default
    LoadCustom,      // the console sent Load Custom
};

// How a re-read ended for the one who asked for it.
enum class RereadResult : std::uint8_t {
    Answered, // the record holds the unit's state
    TimedOut, // no answer in time: the record decoded the block it held once more
    NotRead,  // nothing could be sent, or a newer re-read took over: the record is as it was
};

// Told what changed, on the thread that owns the session (the UI thread), once the record holds it.
class MultiviewerObserver {
public:
    virtual ~MultiviewerObserver() = default;
    virtual void FieldChanged(const MultiviewerChange& change) = 0;
    // The whole record was read again: every field may have changed.
    virtual void Replaced(RereadCause cause) = 0;
    // The unit's name as a state read brought it; nothing when the unit has none.
    virtual void NameShown(const std::optional<std::u16string>& name) = 0;
    // A state read shows the console's lock as it stands.
    virtual void LockShown(bool locked) = 0;
};

} // namespace brenvik
