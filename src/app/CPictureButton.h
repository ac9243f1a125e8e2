#pragma once
// A button drawn from four bitmaps named after its caption in capitals with
// the suffixes U (up), D (down), F (focused) and X (disabled): "Back" uses
// BACKU, BACKD, BACKF and BACKX. A button whose caption another button of
// another size shares, or that is too long for a name, gives its bitmaps'
// name instead. Until loadBitmaps() it draws as an ordinary push button; it
// then takes the size of its up bitmap.

#include <QPixmap>
#include <QPushButton>

namespace tryster::app {

class CPictureButton final : public QPushButton {
    Q_OBJECT

public:
    explicit CPictureButton(const QString& caption, QWidget* parent = nullptr, QString bitmapBase = {});

    // False when any of the four bitmaps is missing (the button then keeps
    // its plain look).
    bool loadBitmaps();
    bool hasBitmaps() const { return !m_up.isNull(); }

    // The bitmap name of a state's suffix ("BACK" + 'U').
    QString bitmapName(char suffix) const;

    // The bitmap painted in the button's current state.
    const QPixmap& currentBitmap() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_bitmapBase;  // empty: the caption's
    QPixmap m_up, m_down, m_focused, m_disabled;
};

}  // namespace tryster::app
