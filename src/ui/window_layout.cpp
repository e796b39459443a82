#include "ui/window_layout.h"

#include "ui/twips.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>

namespace hattsheet::ui {

QRect pixels(const Twips& at, double scale)
{
    return twipsRect(at.left, at.top, at.width, at.height, scale);
}

QGroupBox* addBox(QWidget* parent, const BoxRow& row, double scale)
{
    auto* box = new QGroupBox(fromUtf8(row.caption), parent);
    box->setObjectName(QString::fromLatin1(row.name));
    box->setGeometry(pixels(row.at, scale));
    const QColor blue = captionBlue(QApplication::palette(box));
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, blue);
    box->setPalette(palette);
    box->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                                      " margin-top: 0.5em; }"
                                      "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px;"
                                      " color: %1; background-color: palette(window); }")
                           .arg(blue.name()));
    return box;
}

void addLabel(QWidget* parent, const LabelRow& row, double scale)
{
    auto* label = new QLabel(fromUtf8(row.caption), parent);
    label->setObjectName(QString::fromLatin1(row.name));
    label->setGeometry(pixels(row.at, scale));
    label->setAlignment((row.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    fixColours(label, QPalette::WindowText, QPalette::Window, row.tint);
    label->setAutoFillBackground(true);
}

} // namespace hattsheet::ui
