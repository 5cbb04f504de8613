#pragma once

#include <QImage>
#include <QString>
#include <string>

class QPainter;
class QRect;
class QSize;

namespace ravelmoor {

// How a window lays its background picture out: repeated from the top left
// corner, stretched over the whole window, or once in the middle.
enum class BackgroundMode { Tile = 0, Stretch = 1, Centre = 2 };

// The picture drawn over the windows' background colour: a BMP file the user
// named as skin, or the picture built into the program.
class BackgroundBitmap {
  public:
    // The built-in picture: a faint pattern with transparency, so that the
    // window colour of light and dark desktop themes shows through it.
    static constexpr const char* kBuiltIn = ":/background/weave.svg";

    // A Windows BMP file with a 40-byte information header; anything else,
    // and a file shorter than its header says, is refused. A failed load
    // leaves no image, even when there was one before.
    bool LoadFromFile(const std::string& path);
    // A picture compiled into the program (SVG or any format Qt reads).
    bool LoadFromResource(const QString& resource = QString::fromLatin1(kBuiltIn));

    bool HasImage() const { return !image_.isNull(); }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    const QImage& Image() const { return image_; }

    // 1:1 with its top left corner at (x, y).
    void DrawAt(QPainter& painter, int x, int y) const;
    void DrawStretched(QPainter& painter, const QRect& area) const;
    // Covers a client area of size `client`, whose top left corner is the
    // painter's origin, in `mode`; what the painter clips is left alone.
    // Centred leaves the rest of the area as it was.
    void Draw(QPainter& painter, const QSize& client, BackgroundMode mode) const;

  private:
    QImage image_;
};

}  // namespace ravelmoor
