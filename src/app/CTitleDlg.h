#pragma once
// The splash: bitmap 180 (IDB_TITLE), centred on the screen. It closes after
// kShowMs, on a left mouse button press or on Enter, whichever comes
// first; Escape does not close it.

#include <QDialog>
#include <QTimer>

namespace tryster::app {

class CTitleDlg final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kShowMs = 6300;

    explicit CTitleDlg(QWidget* parent = nullptr, int showMs = kShowMs);

    // Starts the close timer; called when the splash appears.
    void startCloseTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTimer m_timer;
};

}  // namespace tryster::app
