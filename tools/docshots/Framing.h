#pragma once
// How a picture of the guide is framed. QWidget::grab draws a window's
// inside only; the program shows its progress in the title, so each window
// gets a plain title bar carrying its title, and the dialogs it opens are
// laid over it where they appear (centred on their owner).

#include <QImage>
#include <QPoint>
#include <QString>

class QWidget;

namespace tryster::docshots {

// The widget as drawn now, under a title bar with its window title.
QImage framed(QWidget& window);

// `over` laid on a copy of `under` with its top left corner at `at`.
QImage overlay(const QImage& under, const QImage& over, QPoint at);

// Where `over` lands when centred on `under`'s window (below its title bar).
QPoint centredOn(const QImage& under, const QImage& over);

// The top left corner of `window`'s inside in its framed picture.
QPoint insideOrigin();

// Writes an opaque PNG, compressed as far as Qt's writer goes. The same
// pixels give the same bytes, so unchanged pictures stay unchanged in git.
bool savePicture(const QImage& picture, const QString& path);

}  // namespace tryster::docshots
