#include "res/skin.h"

#include "res/skin_catalogue.h"
#include "res/skin_palette.h"

#include <QImage>
#include <QPainter>

#include <unordered_map>

namespace brenvik {
namespace {

constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
constexpr int kIconPicture = 128;

QImage Render(const SkinEntry& entry, int width, int height) {
    QImage image(width, height,
                 entry.translucent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.fill(entry.translucent ? QColor(Qt::transparent) : QColor(palette::kBase));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    entry.draw(painter, QRect(0, 0, width, height), entry);
    return image;
}

} // namespace

const QPixmap& Skin::Picture(int number) {
    static const QPixmap kNoPicture;
    // Node-based, so references handed out stay valid while later pictures are added.
    static std::unordered_map<int, QPixmap> cache;

    const auto cached = cache.find(number);
    if (cached != cache.end()) {
        return cached->second;
    }
    const SkinEntry* entry = FindSkinEntry(number);
    if (entry == nullptr) {
        return kNoPicture;
    }
    return cache.emplace(number, QPixmap::fromImage(Render(*entry, entry->width, entry->height)))
        .first->second;
}

QIcon Skin::WindowIcon() {
    QIcon icon;
    for (const int size : kIconSizes) {
        icon.addPixmap(QPixmap::fromImage(IconImage(size)));
    }
    return icon;
}

std::span<const int> Skin::IconSizes() {
    return kIconSizes;
}

QImage Skin::IconImage(int size) {
    return Render(*FindSkinEntry(kIconPicture), size, size);
}

std::vector<int> Skin::Numbers() {
    std::vector<int> numbers;
    numbers.reserve(kSkinCatalogue.size());
    for (const SkinEntry& entry : kSkinCatalogue) {
        numbers.push_back(entry.number);
    }
    return numbers;
}

} // namespace brenvik
