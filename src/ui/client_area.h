#pragma once
// The main window's client area: the layout engine that keeps each control
// at its place of the twips layout and, when the window is resized, moves
// or stretches the few that follow its size.

#include <QSize>
#include <QRect>
#include <QWidget>

#include <vector>

class QResizeEvent;

namespace hattsheet::ui {

// How a control of the client area follows the window's size: the panels
// take every pixel the window gains or gives up (each half of the width),
// the buttons below them move with their lower edge (those of panel 2 also
// with its left edge), the credits line stays at the bottom across the
// width; everything else stays where the layout puts it.
enum class Follow { Stay, Panel1, Panel2, BelowPanel1, BelowPanel2, Credits };

// The client area at the layout's own size (design, pixels) holds every
// control where the layout puts it; those given to follow() move with the
// size as their Follow says.
class ClientArea final : public QWidget {
public:
    ClientArea(QSize design, QWidget* parent) : QWidget(parent), m_design(design) {}
    // The widget's geometry now is its place at the layout's own size.
    void follow(QWidget* widget, Follow how) { m_items.push_back({widget, widget->geometry(), how}); }
    QSize sizeHint() const override { return m_design; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Item {
        QWidget* widget;
        QRect at;
        Follow how;
    };
    QSize m_design;
    std::vector<Item> m_items;
};

} // namespace hattsheet::ui
