#pragma once
// The program's own pictures, built in as Qt resources by the asset
// generator. Bitmaps are named as the dialogs ask for them ("BACKU",
// "132"); a missing name gives a null pixmap.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace tryster::app {

// Makes the built-in pictures and sounds reachable; call once before any
// window is made (safe to call again).
void initProgramResources();

QPixmap programBitmap(const QString& name);
QPixmap programBitmap(int id);

// Icon 128 in its sizes.
QIcon programIcon();

}  // namespace tryster::app
