#pragma once
// The shared look of the message and question boxes: the text on top,
// word-wrapped and as wide as it needs (within reason), the picture
// buttons centred below. The box is never smaller than its template.

#include <QDialog>
#include <QLabel>
#include <QSize>

#include <initializer_list>

namespace tryster::app {

class CPictureButton;

// Makes the message label with `text`.
QLabel* makeMessageLabel(QDialog& box, const QString& text);

void layOutMessageBox(QDialog& box, QLabel* message, std::initializer_list<CPictureButton*> buttons,
                      QSize templateSize);

}  // namespace tryster::app
