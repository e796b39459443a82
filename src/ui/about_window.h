#pragma once
// frmab, the About window: frameless, 304 × 200 pixels, the tool's name, its
// version and its credits. It closes on its "Χ" button (Alt+Χ), on Escape or
// on a click on its background (not on a label), and is discarded when it
// closes.

#include <QWidget>

namespace hattsheet::ui {

class AboutWindow final : public QWidget {
    Q_OBJECT
public:
    // A window of its own over the main window (parent), not modal.
    explicit AboutWindow(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool isBackground(const QPoint& pos) const;
    bool m_pressedOnBackground = false;
};

} // namespace hattsheet::ui
