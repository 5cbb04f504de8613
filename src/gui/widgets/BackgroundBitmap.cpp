#include "gui/widgets/BackgroundBitmap.h"

#include <QBrush>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>
#include <cstdint>
#include <cstdlib>

namespace ravelmoor {
namespace {

constexpr qint64 kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr qint64 kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
// Uncompressed rows, and rows whose colours are given by bit masks.
constexpr uint32_t kPlainRows = 0;
constexpr uint32_t kMaskedRows = 3;
// A picture bigger than this is no window background.
constexpr qint64 kLargestFile = qint64{256} << 20;

template <typename T>
T Field(const QByteArray& bytes, qint64 offset) {
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

// The whole file when its headers are those of a BMP file with a 40-byte
// information header and its pixel data is all there; empty otherwise.
QByteArray ReadCheckedBmp(QFile& file) {
    const QByteArray headers = file.read(kHeadersSize);
    if (headers.size() != kHeadersSize || !headers.startsWith("BM")) return {};
    const auto fileSize = Field<uint32_t>(headers, 2);
    const auto pixelOffset = Field<uint32_t>(headers, 10);
    if (Field<uint32_t>(headers, kFileHeaderSize) != kInfoHeaderSize) return {};
    const auto width = Field<int32_t>(headers, 18);
    const auto height = Field<int32_t>(headers, 22);
    const auto bitCount = Field<uint16_t>(headers, 28);
    const auto compression = Field<uint32_t>(headers, 30);
    if (pixelOffset < kHeadersSize || fileSize <= pixelOffset || fileSize > kLargestFile) return {};
    // Read no more than the file holds: a header that claims more than that
    // would otherwise cost a buffer of the claimed size.
    if (qint64{fileSize} > file.size()) return {};
    if (width <= 0 || height == 0 || bitCount == 0) return {};
    // The pixel data runs from its offset to the end the file header gives.
    if (!file.seek(0)) return {};
    QByteArray bytes = file.read(fileSize);
    if (bytes.size() != qint64{fileSize}) return {};
    if (compression == kPlainRows || compression == kMaskedRows) {
        // Width and bit count are at most 2^31 and 2^16, so a row's size fits;
        // the rows together are compared by division, which cannot overflow.
        const qint64 rowBytes = (qint64{width} * bitCount + 31) / 32 * 4;
        const auto pixelBytes = qint64{fileSize - pixelOffset};
        if (std::abs(qint64{height}) > pixelBytes / rowBytes) return {};
    }
    return bytes;
}

}  // namespace

bool BackgroundBitmap::LoadFromFile(const std::string& path) {
    image_ = QImage();
    QFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = ReadCheckedBmp(file);
    if (bytes.isEmpty()) return false;
    image_ = QImage::fromData(bytes, "BMP");
    return HasImage();
}

bool BackgroundBitmap::LoadFromResource(const QString& resource) {
    image_ = QImage();
    if (!resource.endsWith(QLatin1String(".svg"))) {
        image_.load(resource);
        return HasImage();
    }
    QSvgRenderer renderer(resource);
    if (!renderer.isValid() || renderer.defaultSize().isEmpty()) return false;
    QImage picture(renderer.defaultSize(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    renderer.render(&painter);
    painter.end();
    image_ = picture;
    return true;
}

void BackgroundBitmap::DrawAt(QPainter& painter, int x, int y) const {
    painter.drawImage(x, y, image_);
}

void BackgroundBitmap::DrawStretched(QPainter& painter, const QRect& area) const {
    painter.drawImage(area, image_);
}

void BackgroundBitmap::Draw(QPainter& painter, const QSize& client, BackgroundMode mode) const {
    if (!HasImage()) return;
    const QRect area(QPoint(0, 0), client);
    switch (mode) {
        case BackgroundMode::Stretch:
            DrawStretched(painter, area);
            break;
        case BackgroundMode::Centre:
            DrawAt(painter, (client.width() - Width()) / 2, (client.height() - Height()) / 2);
            break;
        case BackgroundMode::Tile:
            // A texture brush repeats the picture from the painter's origin,
            // which is the window's top left corner.
            painter.save();
            painter.setBrushOrigin(0, 0);
            painter.fillRect(area, QBrush(image_));
            painter.restore();
            break;
    }
}

}  // namespace ravelmoor
