#pragma once
// A single-line field that never lets a cut text look whole. When the text
// is wider than the field, the side that is out of sight shows "…" over the
// field's last visible characters, and the whole text is the field's tooltip;
// the text itself is never changed.

#include <QLineEdit>

namespace hattsheet::ui {

class FieldEdit final : public QLineEdit {
    Q_OBJECT
public:
    FieldEdit(const QString& text, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Whether the text is wider than the room the field has for it.
    bool isCut() const;
    // Where the text is drawn (pixels, in the field).
    QRectF textArea() const;
    void updateTip();
};

} // namespace hattsheet::ui
