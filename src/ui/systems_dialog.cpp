#include "ui/systems_dialog.h"

#include "operations/egsa87_conversion.h"
#include "operations/system_kind.h"
#include "ui/dialog_parts.h"
#include "ui/screen_fit.h"
#include "ui/sheet_chooser.h"
#include "ui/ui_texts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QAbstractItemView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <exception>
#include <utility>

namespace hattsheet::ui {

using operations::Side;
using operations::SystemKind;

namespace {

// The width of a closed system chooser (average characters).
constexpr int kChooserCharacters = 30;

// A label that wraps and whose text can be selected and copied.
// A frameless scroll area whose size hint is its content's whole: QScrollArea's
// own stops at 36 × 24 lines, smaller than the dialog has always opened.
class WholeScrollArea final : public QScrollArea {
public:
    explicit WholeScrollArea(QWidget* parent) : QScrollArea(parent)
    {
        setObjectName(QStringLiteral("scrSystems"));
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
    }
    QSize sizeHint() const override { return widget() ? widget()->sizeHint() : QScrollArea::sizeHint(); }
};

QLineEdit* lineField(const char* name, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return field;
}

} // namespace

SystemsDialog::SystemsDialog(WidgetFields& fields, operations::Dialogs& dialogs, operations::TempPlaces temp,
                             operations::PanelContents& panel2, QWidget* parent)
    : QDialog(parent), m_fields(fields), m_dialogs(dialogs), m_temp(std::move(temp)), m_panel2(panel2)
{
    setObjectName(QStringLiteral("dlgSystems"));
    setWindowTitle(fromUtf8(captions::kSystemsTitle));
    // The controls scroll inside the dialog where its screen is smaller than
    // they are (1366 × 768 with fonts at 149 dpi, a panel below).
    auto* area = new WholeScrollArea(this);
    auto* content = new QWidget(area);
    auto* ends = new QHBoxLayout;
    ends->addWidget(addEnd(m_from, Side::From, content));
    ends->addWidget(addEnd(m_to, Side::To, content));
    auto* all = new QVBoxLayout(content);
    all->addLayout(ends);
    all->addWidget(addPoint(content));
    all->addWidget(addResult(content), 1);
    all->addLayout(addButtons());
    area->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(area);

    // A Hatt end opens on the window's centre of its side; the other end on ΕΓΣΑ87.
    using operations::FieldId;
    m_from.phi->setText(fromUtf8(fields.text(FieldId::PhiOld)));
    m_from.lambda->setText(fromUtf8(fields.text(FieldId::LambdaOld)));
    m_to.phi->setText(fromUtf8(fields.text(FieldId::PhiNew)));
    m_to.lambda->setText(fromUtf8(fields.text(FieldId::LambdaNew)));
    m_to.system->setCurrentIndex(m_to.system->findData(static_cast<int>(SystemKind::Egsa87)));
    systemChanged();
    m_point[0]->setFocus(Qt::OtherFocusReason);
}

void SystemsDialog::showEvent(QShowEvent* event)
{
    if (!std::exchange(m_fitted, true)) fitOnFirstShow(*this);
    QDialog::showEvent(event);
}

QWidget* SystemsDialog::addEnd(End& end, Side side, QWidget* in)
{
    const bool from = side == Side::From;
    auto* box = new QGroupBox(in);
    box->setObjectName(from ? QStringLiteral("boxSystemFrom") : QStringLiteral("boxSystemTo"));
    auto* form = new QFormLayout(box);
    end.system = new QComboBox(box);
    end.system->setObjectName(from ? QStringLiteral("cboSystemFrom") : QStringLiteral("cboSystemTo"));
    // Hatt first (its centre below), then every other system as --systems lists them.
    end.system->addItem(fromUtf8(operations::windowBook().systemName(SystemKind::Hatt)), static_cast<int>(SystemKind::Hatt));
    for (const operations::SystemInfo& row : operations::systemTable()) {
        end.system->addItem(fromUtf8(operations::windowBook().systemName(row.kind)), static_cast<int>(row.kind));
    }
    // Two choosers side by side fit a 1024-pixel screen: a long name is cut
    // in the closed chooser, and shown whole in its list.
    end.system->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    end.system->setMinimumContentsLength(kChooserCharacters);
    end.system->view()->setMinimumWidth(end.system->view()->sizeHintForColumn(0));
    for (int i = 0; i < end.system->count(); ++i) end.system->setItemData(i, end.system->itemText(i), Qt::ToolTipRole);
    form->addRow(fromUtf8(from ? captions::kSystemFrom : captions::kSystemTo), end.system);
    end.phi = lineField(from ? "txtSystemFromPhi" : "txtSystemToPhi", box);
    end.lambda = lineField(from ? "txtSystemFromLambda" : "txtSystemToLambda", box);
    form->addRow(fromUtf8(captions::kCentrePhi), end.phi);
    form->addRow(fromUtf8(captions::kCentreLambda), end.lambda);
    end.sheet = new QPushButton(fromUtf8(from ? captions::kSheetFromButton : captions::kSheetToButton), box);
    end.sheet->setObjectName(from ? QStringLiteral("cmdSheetFrom") : QStringLiteral("cmdSheetTo"));
    form->addRow(QString(), end.sheet);

    connect(end.system, &QComboBox::currentIndexChanged, this, &SystemsDialog::systemChanged);
    connect(end.sheet, &QPushButton::clicked, this, [this, &end] { chooseSheet(end); });
    // A centre typed over is no longer the chosen sheet's.
    for (QLineEdit* field : {end.phi, end.lambda}) {
        connect(field, &QLineEdit::textEdited, this, [&end] { end.chosen = nullptr; });
    }
    return box;
}

QWidget* SystemsDialog::addPoint(QWidget* in)
{
    auto* box = new QGroupBox(fromUtf8(captions::kSystemPoint), in);
    box->setObjectName(QStringLiteral("boxSystemPoint"));
    auto* form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    m_names = noteLabel(QString(), "lblSystemCoordinates", box);
    form->addRow(m_names);
    const char* const fieldNames[] = {"txtSystemA", "txtSystemB", "txtSystemH"};
    const char* const labelNames[] = {"lblSystemA", "lblSystemB", "lblSystemH"};
    for (int i = 0; i < 3; ++i) {
        m_pointLabels[i] = new QLabel(box);
        m_pointLabels[i]->setObjectName(QString::fromLatin1(labelNames[i]));
        m_point[i] = lineField(fieldNames[i], box);
        // Room for "-1234567.890" or "-39.123456789" and a little more.
        m_point[i]->setMinimumWidth(m_point[i]->fontMetrics().horizontalAdvance(QStringLiteral("-00000000.0000000")));
        form->addRow(m_pointLabels[i], m_point[i]);
    }
    form->addRow(noteLabel(fromUtf8(captions::kHeightsUnchanged), "lblHeightsUnchanged", box));
    return box;
}

QWidget* SystemsDialog::addResult(QWidget* in)
{
    auto* box = new QGroupBox(fromUtf8(captions::kSystemResult), in);
    box->setObjectName(QStringLiteral("boxSystemResult"));
    auto* column = new QVBoxLayout(box);
    m_result = new QPlainTextEdit(box);
    m_result->setObjectName(QStringLiteral("txtSystemResult"));
    m_result->setReadOnly(true);
    m_result->setTabChangesFocus(true);
    // Room for the longest result (φ, λ twice and h) without scrolling.
    m_result->setMinimumHeight(7 * m_result->fontMetrics().lineSpacing());
    m_accuracy = noteLabel(QString(), "lblSystemAccuracy", box);
    m_warning = noteLabel(QString(), "lblSystemWarning", box);
    m_warning->hide();
    column->addWidget(m_result, 1);
    column->addWidget(m_warning);
    column->addWidget(m_accuracy);
    return box;
}

QLayout* SystemsDialog::addButtons()
{
    QHBoxLayout* row =
        buttonRow<SystemsDialog>(this,
                                 {
                                     {"cmdSystemPoint", captions::kConvertSystemPoint, &SystemsDialog::convertPoint},
                                     {"cmdSystemList", captions::kConvertSystemList, &SystemsDialog::convertList},
                                     {"cmdSystemsClose", captions::kSystemsClose, nullptr},
                                 },
                                 true);
    // Enter in a point field converts the point.
    findChild<QPushButton*>(QStringLiteral("cmdSystemPoint"))->setDefault(true);
    return row;
}

SystemKind SystemsDialog::kindOf(const End& end) const
{
    return static_cast<SystemKind>(end.system->currentData().toInt());
}

operations::SystemId SystemsDialog::idOf(const End& end) const
{
    const SystemKind kind = kindOf(end);
    if (kind != SystemKind::Hatt) return operations::SystemId::of(kind);
    return operations::SystemId::hatt(end.phi->text().toStdString(), end.lambda->text().toStdString(), end.chosen);
}

void SystemsDialog::systemChanged()
{
    for (End* end : {&m_from, &m_to}) {
        const bool hatt = kindOf(*end) == SystemKind::Hatt;
        for (QWidget* w : {static_cast<QWidget*>(end->phi), static_cast<QWidget*>(end->lambda),
                           static_cast<QWidget*>(end->sheet)}) {
            w->setEnabled(hatt);
        }
    }
    const SystemKind from = kindOf(m_from), to = kindOf(m_to);
    m_names->setText(fromUtf8(operations::windowBook().coordinateNames(from)));
    const auto names = operations::coordinateNameList(from);
    const auto toNames = operations::coordinateNameList(to);
    // h where an end has it (HTRS07); it passes through unchanged.
    const bool height = names.size() > 2 || toNames.size() > 2;
    // The height's name as the book gives it for HTRS07, the system that has one.
    const std::string h = operations::coordinateNameList(SystemKind::Htrs07).back();
    const std::string shown[] = {names.at(0), names.size() > 1 ? names[1] : std::string(), h};
    for (int i = 0; i < 3; ++i) m_pointLabels[i]->setText(fromUtf8(captions::kCoordinateLabel).arg(fromUtf8(shown[i])));
    m_pointLabels[2]->setEnabled(height);
    m_point[2]->setEnabled(height);
    m_accuracy->setText(fromUtf8(operations::routeAccuracy(from, to)));
    m_result->clear();
    m_warning->hide();
}

void SystemsDialog::chooseSheet(End& end)
{
    const bool from = &end == &m_from;
    QString title = fromUtf8(from ? captions::kSheetFromButton : captions::kSheetToButton);
    SheetChooser chooser(title.remove(QChar(0x2026)).remove(QLatin1Char('&')), this);
    // It opens on a sheet of the end's centre, when the centre is a sheet's.
    if (end.chosen != nullptr) {
        chooser.choose(end.chosen);
    } else if (const auto current = operations::SheetChoice::onCentre(end.phi->text().toStdString(),
                                                                      end.lambda->text().toStdString())) {
        chooser.choose(current->candidates().front().sheet);
    }
    if (chooser.exec() != QDialog::Accepted || chooser.chosen() == nullptr) return;
    end.chosen = chooser.chosen();
    end.phi->setText(fromUtf8(end.chosen->phi0DegMin));
    end.lambda->setText(fromUtf8(end.chosen->lambda0DegMin));
}

void SystemsDialog::convertPoint()
{
    try {
        const auto outcome = operations::convertSystemPoint(idOf(m_from), idOf(m_to), m_grid,
                                                            m_point[0]->text().toStdString(),
                                                            m_point[1]->text().toStdString(),
                                                            m_point[2]->isEnabled() ? m_point[2]->text().toStdString()
                                                                                    : std::string());
        m_result->setPlainText(fromUtf8(outcome.text));
        m_warning->setText(fromUtf8(outcome.warning));
        m_warning->setVisible(!outcome.warning.empty());
    } catch (const std::exception&) {
        // No exception may unwind through Qt's event loop.
        m_result->setPlainText(fromUtf8(operations::windowTexts().operationFailed));
    }
}

void SystemsDialog::convertList()
{
    const operations::SystemId to = idOf(m_to);
    const operations::LineSystem system = operations::lineSystemOf(to);
    try {
        if (!m_panel2.mayAppend(m_fields, m_dialogs, system)) return;
        const unsigned long long appended =
            operations::convertListBetweenSystems(m_fields, m_dialogs, m_temp, idOf(m_from), to, m_grid);
        m_fields.flush();
        m_panel2.appended(system, appended > 0, true);
    } catch (const std::exception&) {
        // What was appended before the failure stays, as after the window's
        // own batch, and counts as unsaved.
        m_panel2.appended(system, true, true);
        try {
            m_fields.flush();
        } catch (const std::exception&) {
        }
        operations::showWarning(m_dialogs, operations::windowTexts().operationFailed);
    }
}

} // namespace hattsheet::ui
