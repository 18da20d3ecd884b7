#pragma once

class QWidget;

namespace brenvik {

// Edit fields and lists paint light text on the field grey, with the console's blue for the
// selection, whatever the desktop's palette.
void ApplyFieldColours(QWidget& field);

} // namespace brenvik
