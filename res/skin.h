#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <span>
#include <vector>

namespace brenvik {

// The one shared store of the console's pictures. Every picture is drawn in code at its pixel size
// the first time it is asked for and kept for the life of the process, so every button showing
// picture 133 shares one pixmap. Use it from the UI thread after the application object exists.
class Skin {
public:
    // The picture with this resource number, or a null pixmap for a number the skin does not have.
    static const QPixmap& Picture(int number);

    // The window icon (resource 128), drawn separately at each of the usual icon sizes.
    static QIcon WindowIcon();
    // The sizes the icon is drawn at, and the icon at one of them (also for the desktop's icon theme).
    static std::span<const int> IconSizes();
    static QImage IconImage(int size);

    // Every picture number the skin has, in ascending order.
    static std::vector<int> Numbers();
};

} // namespace brenvik
