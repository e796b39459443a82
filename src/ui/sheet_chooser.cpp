#include "ui/sheet_chooser.h"

#include "operations/window_texts.h"
#include "operations/sheet_names.h"
#include "ui/sheet_map.h"
#include "ui/ui_texts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <QVBoxLayout>

namespace hattsheet::ui {

namespace {

// "Άθως · 20 · 40.15, 0.15": name, agency number, centre; the refused ones marked.
QString rowText(const geodesy::Sheet& sheet)
{
    QString text = fromUtf8(sheet.name) + QStringLiteral(" · %1 · %2, %3")
                                      .arg(sheet.agencyNumber)
                                      .arg(fromUtf8(sheet.phi0DegMin), fromUtf8(sheet.lambda0DegMin));
    if (!geodesy::isUsable(sheet)) text += QStringLiteral(" · ") + fromUtf8(operations::windowBook().sheetUsable(false));
    return text;
}

} // namespace

SheetChooser::SheetChooser(const QString& title, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgSheetChooser"));
    setWindowTitle(title);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("txtSheetFilter"));
    m_filter->setPlaceholderText(fromUtf8(captions::kSheetFilterHint));
    m_filter->setClearButtonEnabled(true);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstSheets"));
    // As wide as its longest row, so that no name is cut.
    int widest = 0;
    for (const auto& sheet : geodesy::sheetCatalogue()) {
        widest = std::max(widest, m_list->fontMetrics().horizontalAdvance(rowText(sheet)));
    }
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setMinimumWidth(widest + (2 * m_list->frameWidth()) + style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                            fontMetrics().averageCharWidth() * 2);
    m_map = new SheetMap(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(fromUtf8(captions::kOk));
    buttons->button(QDialogButtonBox::Cancel)->setText(fromUtf8(captions::kDialogCancel));

    auto* left = new QVBoxLayout;
    auto* label = new QLabel(fromUtf8(captions::kSheetFilterLabel), this);
    label->setBuddy(m_filter);
    left->addWidget(label);
    left->addWidget(m_filter);
    left->addWidget(m_list, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(m_map, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(columns, 1);
    all->addWidget(buttons);

    connect(m_filter, &QLineEdit::textChanged, this, &SheetChooser::filter);
    connect(m_list, &QListWidget::currentRowChanged, this, &SheetChooser::rowChanged);
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(m_map, &SheetMap::picked, this, &SheetChooser::choose);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    filter(QString());
    m_filter->setFocus();
}

void SheetChooser::filter(const QString& text)
{
    const geodesy::Sheet* keep = m_chosen;
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    int keepRow = -1;
    for (const auto* sheet : operations::sheetsMatching(text.toStdString())) {
        auto* item = new QListWidgetItem(rowText(*sheet), m_list);
        item->setData(Qt::UserRole, sheet->id);
        if (sheet == keep) keepRow = m_list->count() - 1;
    }
    // The chosen sheet stays chosen while it matches; else the first match.
    const int row = keepRow >= 0 ? keepRow : (m_list->count() > 0 ? 0 : -1);
    m_list->setCurrentRow(row);
    rowChanged(row);
}

void SheetChooser::rowChanged(int row)
{
    QListWidgetItem* item = row >= 0 ? m_list->item(row) : nullptr;
    m_chosen = item != nullptr ? geodesy::sheetById(item->data(Qt::UserRole).toInt()) : nullptr;
    m_map->setChosen(m_chosen);
}

void SheetChooser::choose(const geodesy::Sheet* sheet)
{
    if (sheet == nullptr) return;
    const auto rowOf = [&] {
        for (int row = 0; row < m_list->count(); ++row) {
            if (m_list->item(row)->data(Qt::UserRole).toInt() == sheet->id) return row;
        }
        return -1;
    };
    // A sheet the filter hides: the filter goes, so that the list shows it.
    if (rowOf() < 0) m_filter->clear();
    const int row = rowOf();
    m_list->setCurrentRow(row);
    if (row >= 0) m_list->scrollToItem(m_list->item(row));
}

} // namespace hattsheet::ui
