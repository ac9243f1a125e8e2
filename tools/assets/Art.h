#pragma once
// Shared pieces of the asset generator: where files go, the fonts and the
// palette every picture uses.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QString>
#include <QStringList>

namespace tryster::assets {

// Collects the files written (paths relative to the output folder), for
// the resource list.
class Output {
public:
    explicit Output(QString folder) : folder_(std::move(folder)) {}
    // False (with a message on stderr) when the file cannot be written.
    bool savePng(const QImage& image, const QString& relativePath);
    bool saveBytes(const QByteArray& bytes, const QString& relativePath);
    const QStringList& files() const { return files_; }
    bool ok() const { return ok_; }

private:
    bool prepare(const QString& relativePath, QString& fullPath);

    QString folder_;
    QStringList files_;
    bool ok_ = true;
};

// The dialog's own red and the warm golds that go with it.
inline const QColor kDialogRed(142, 0, 0);
inline const QColor kDeepRed(74, 4, 4);
inline const QColor kGold(242, 196, 98);
inline const QColor kPaleGold(255, 240, 204);
inline const QColor kCream(255, 248, 232);
inline const QColor kInk(70, 8, 8);

enum class Face { Sans, SansBold, SerifBold };
// A font of the given pixel size. DejaVu is asked for by name so the
// pictures look the same on every build machine that has it.
QFont artFont(Face face, int pixelSize);

// A transparent ARGB canvas.
QImage canvas(int width, int height);

// A heart centred on (cx, cy), `size` pixels wide.
QPainterPath heartPath(double cx, double cy, double size);

// A little figure (round head, rounded body), feet at (cx, baseY).
void drawFigure(class QPainter& p, double cx, double baseY, double height, const QColor& body,
                const QColor& head);

bool drawButtons(Output& out);
bool drawPictures(Output& out);
bool makeSounds(Output& out);
// The program icon at the hicolor theme's sizes, as NxN/apps/NAME.png.
bool drawDesktopIcons(Output& out, const QString& name);

}  // namespace tryster::assets
