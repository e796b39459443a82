#include "ui/fit_dialog.h"

#include "operations/window_texts.h"
#include "ui/dialog_parts.h"
#include "ui/screen_fit.h"
#include "ui/ui_texts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <exception>
#include <utility>

namespace hattsheet::ui {

using geodesy::FitModel;

namespace {

// The table's columns, in their order.
enum Column { kUsed, kCode, kDx, kDy, kLength, kNote, kColumns };

// Lines of text the table and the parameters show at least before they
// scroll: a handful of common points, a similarity's six lines.
constexpr int kTableRows = 5;
constexpr int kParameterLines = 6;
// The parameters' width the dialog opens with (average characters): a
// similarity's rotation line in grads and degrees; narrower, they scroll.
constexpr int kParameterCharacters = 64;

// A read-only text whose size hint is wide enough for the parameter lines.
class ParameterText final : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;
    QSize sizeHint() const override
    {
        return {kParameterCharacters * fontMetrics().averageCharWidth() + 2 * frameWidth() +
                    verticalScrollBar()->sizeHint().width(),
                QPlainTextEdit::sizeHint().height()};
    }
};

// The item of a cell, made on first use: the check column's item is the
// one whose change is being handled when the table is shown again.
QTableWidgetItem* itemAt(QTableWidget& table, int row, int column)
{
    if (QTableWidgetItem* item = table.item(row, column)) return item;
    auto* item = new QTableWidgetItem;
    table.setItem(row, column, item);
    return item;
}

void setCell(QTableWidget& table, int row, int column, const std::string& text, Qt::Alignment alignment)
{
    QTableWidgetItem* item = itemAt(table, row, column);
    item->setText(fromUtf8(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
}

} // namespace

FitDialog::FitDialog(WidgetFields& fields, operations::Dialogs& dialogs, operations::PanelContents& panel2,
                     QWidget* parent)
    : QDialog(parent), m_fields(fields), m_dialogs(dialogs), m_panel2(panel2)
{
    setObjectName(QStringLiteral("dlgFit"));
    setWindowTitle(fromUtf8(captions::kFitTitle));
    auto* all = new QVBoxLayout(this);
    all->addLayout(addModel());
    all->addWidget(noteLabel(fromUtf8(captions::kFitHint), "lblFitHint", this));
    // The table and the parameters side by side: a 1366 × 768 screen with
    // fonts at 149 dpi has room for both in width, not one over the other.
    auto* middle = new QHBoxLayout;
    all->addLayout(middle, 1);
    middle->addWidget(addTable(), 3);
    auto* box = new QGroupBox(fromUtf8(captions::kFitParameters), this);
    box->setObjectName(QStringLiteral("boxFitParameters"));
    auto* column = new QVBoxLayout(box);
    m_parameters = new ParameterText(box);
    m_parameters->setObjectName(QStringLiteral("txtFitParameters"));
    m_parameters->setReadOnly(true);
    m_parameters->setTabChangesFocus(true);
    m_parameters->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_parameters->setMinimumHeight(kParameterLines * m_parameters->fontMetrics().lineSpacing() +
                                   2 * m_parameters->frameWidth());
    column->addWidget(m_parameters);
    middle->addWidget(box, 2);
    m_source = noteLabel(QString(), "lblFitSource", this);
    all->addWidget(m_source);
    all->addLayout(addButtons());
    readPanels();
    m_table->setFocus(Qt::OtherFocusReason);
}

void FitDialog::showEvent(QShowEvent* event)
{
    if (!std::exchange(m_fitted, true)) fitOnFirstShow(*this);
    QDialog::showEvent(event);
}

QLayout* FitDialog::addModel()
{
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(fromUtf8(captions::kFitModel), this);
    m_model = new QComboBox(this);
    m_model->setObjectName(QStringLiteral("cboFitModel"));
    for (const FitModel model : {FitModel::Similarity, FitModel::Affine, FitModel::Poly2}) {
        m_model->addItem(fromUtf8(operations::fitModelTitle(model)), static_cast<int>(model));
    }
    label->setBuddy(m_model);
    auto* read = new QPushButton(fromUtf8(captions::kFitReadPanels), this);
    read->setObjectName(QStringLiteral("cmdFitRead"));
    read->setAutoDefault(false);
    row->addWidget(label);
    row->addWidget(m_model);
    row->addStretch(1);
    row->addWidget(read);
    connect(m_model, &QComboBox::currentIndexChanged, this, &FitDialog::modelChosen);
    connect(read, &QPushButton::clicked, this, &FitDialog::readPanels);
    return row;
}

QWidget* FitDialog::addTable()
{
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(fromUtf8(captions::kFitResiduals), box);
    m_table = new QTableWidget(0, kColumns, box);
    m_table->setObjectName(QStringLiteral("tblFitResiduals"));
    label->setBuddy(m_table);
    m_table->setHorizontalHeaderLabels({fromUtf8(captions::kFitColumnUsed), fromUtf8(captions::kFitColumnCode),
                                        fromUtf8(captions::kFitColumnDx), fromUtf8(captions::kFitColumnDy),
                                        fromUtf8(captions::kFitColumnLength), fromUtf8(captions::kFitColumnNote)});
    m_table->verticalHeader()->hide();
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setMinimumHeight(m_table->horizontalHeader()->sizeHint().height() +
                              kTableRows * m_table->verticalHeader()->defaultSectionSize() + 2 * m_table->frameWidth());
    m_summary = noteLabel(QString(), "lblFitSummary", box);
    column->addWidget(label);
    column->addWidget(m_table, 1);
    column->addWidget(m_summary);
    connect(m_table, &QTableWidget::itemChanged, this, &FitDialog::rowChecked);
    return box;
}

QLayout* FitDialog::addButtons()
{
    // No default button: Enter in the table must not save or apply.
    QHBoxLayout* row = buttonRow<FitDialog>(this,
                                            {
                                                {"cmdFitSave", captions::kFitSave, &FitDialog::saveFit},
                                                {"cmdFitOpen", captions::kFitOpen, &FitDialog::openFit},
                                                {"cmdFitApply", captions::kFitApply, &FitDialog::applyFit},
                                                {"cmdFitClose", captions::kFitClose, nullptr},
                                            },
                                            false);
    m_save = findChild<QPushButton*>(QStringLiteral("cmdFitSave"));
    m_apply = findChild<QPushButton*>(QStringLiteral("cmdFitApply"));
    return row;
}

void FitDialog::fillRow(int row, const operations::FitRow& fit)
{
    QTableWidgetItem* used = itemAt(*m_table, row, kUsed);
    used->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    used->setCheckState(fit.used ? Qt::Checked : Qt::Unchecked);
    used->setData(Qt::AccessibleTextRole, fromUtf8(fit.code));
    setCell(*m_table, row, kCode, fit.code, Qt::AlignLeft);
    setCell(*m_table, row, kDx, fit.dx, Qt::AlignRight);
    setCell(*m_table, row, kDy, fit.dy, Qt::AlignRight);
    setCell(*m_table, row, kLength, fit.length, Qt::AlignRight);
    // The marks are words, not colours alone: the largest in bold beside its
    // word, a point left out greyed beside its own.
    const bool numbers = !fit.length.empty();
    const char* note = !numbers ? "" : fit.largest ? captions::kFitLargestMark : !fit.used ? captions::kFitExcludedMark : "";
    setCell(*m_table, row, kNote, note, Qt::AlignLeft);
    for (int c = kCode; c < kColumns; ++c) {
        QTableWidgetItem* item = m_table->item(row, c);
        QFont font = m_table->font();
        font.setBold(fit.largest);
        item->setFont(font);
        item->setForeground(palette().brush(fit.used ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    }
}

void FitDialog::showReport()
{
    const operations::FitReport& report = m_session.report();
    const int current = std::max(0, m_table->currentRow());
    const QSignalBlocker quiet(m_table);
    m_table->setRowCount(static_cast<int>(report.rows.size()));
    for (std::size_t i = 0; i < report.rows.size(); ++i) fillRow(static_cast<int>(i), report.rows[i]);
    if (m_table->rowCount() > 0) m_table->setCurrentCell(std::min(current, m_table->rowCount() - 1), kUsed);
    // Every column in sight, the table's own scroll bar beside them.
    m_table->setMinimumWidth(m_table->horizontalHeader()->length() + m_table->verticalScrollBar()->sizeHint().width() +
                             2 * m_table->frameWidth());
    m_summary->setText(fromUtf8(report.result ? report.summary : report.refusal));
    m_parameters->setPlainText(fromUtf8(report.parameters));
    m_save->setEnabled(report.result.has_value());
    m_apply->setEnabled(m_session.fitToApply() != nullptr);
    const std::string& file = m_session.openedFile();
    m_source->setText(fromUtf8(!file.empty()                   ? operations::fitFromFile(file)
                               : m_session.fitToApply() != nullptr ? std::string(captions::kFitFromPoints)
                                                                   : std::string(captions::kFitNone)));
}

template <typename Operation>
void FitDialog::run(Operation&& operation)
{
    runShown(m_fields, std::forward<Operation>(operation),
             [this] { operations::showWarning(m_dialogs, operations::windowTexts().operationFailed); });
}

void FitDialog::readPanels()
{
    run([this] {
        m_fields.flush();
        m_session.readPanels(m_fields);
        showReport();
    });
}

void FitDialog::modelChosen()
{
    run([this] {
        m_session.chooseModel(static_cast<FitModel>(m_model->currentData().toInt()));
        showReport();
    });
}

void FitDialog::rowChecked(QTableWidgetItem* item)
{
    if (item == nullptr || item->column() != kUsed) return;
    run([this, item] {
        m_session.setUsed(static_cast<std::size_t>(item->row()), item->checkState() == Qt::Checked);
        showReport();
    });
}

void FitDialog::saveFit()
{
    run([this] { m_session.save(m_dialogs, operations::fitFileDate()); });
}

void FitDialog::openFit()
{
    run([this] {
        if (m_session.open(m_dialogs)) showReport();
    });
}

void FitDialog::applyFit()
{
    run([this] { m_session.apply(m_fields, m_dialogs, m_panel2); });
}

} // namespace hattsheet::ui
