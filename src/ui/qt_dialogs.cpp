#include "ui/qt_dialogs.h"

#include "ui/qt_no_settings.h"
#include "ui/ui_texts.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
#include <QSplitter>
#include <QStringList>
#include <QTimer>
#include <QTreeView>

#include <memory>

namespace hattsheet::ui {

using operations::MessageIcon;

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::Critical;
}

// Qt reads a filter's patterns from the parentheses of its text; a
// description without them gets its pattern appended.
QString nameFilter(const operations::FileFilter& filter)
{
    QString text = fromUtf8(filter.description);
    const QString pattern = fromUtf8(filter.pattern);
    if (!text.contains(QLatin1Char('('))) text += QStringLiteral(" (") + pattern + QLatin1Char(')');
    return text;
}

// What a window manager's title bar draws beside the title (pixels): the
// icon and three buttons at the usual sizes.
constexpr int kTitleBarChromePx = 120;

// Makes a short message box wide enough for its title: a window manager
// otherwise cuts the title of a box sized for "Εντάξει" and one line.
void fitTitle(QMessageBox& box)
{
    QFont titleFont = box.font();
    titleFont.setBold(true);  // as most title bars draw it
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarChromePx;
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

// The file dialog's sizes and dates as the default locale writes them; the
// file system model itself uses the system's locale, which is often C.
class LocaleFileColumns final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr) return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == kSizeColumn && !files->isDir(source)) {
            return QLocale().formattedDataSize(files->size(source));
        }
        if (index.column() == kDateColumn) return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }

private:
    static constexpr int kSizeColumn = 1;
    static constexpr int kDateColumn = 3;
};

// Room for the Greek column texts and place names (characters of the
// dialog's font): the whole dialog, and the list of places beside the files.
constexpr int kDialogWidthChars = 140;
constexpr int kDialogHeightChars = 30;
constexpr int kPlacesWidthChars = 18;

// What a window manager's frame adds around a dialog (pixels): the borders
// and the title bar at the usual sizes. The dialog's frame is not known
// before it shows.
constexpr int kFrameWidthPx = 8;
constexpr int kFrameHeightPx = 40;

// The available area of the screen a dialog over parent opens on.
QRect availableArea(const QWidget* parent)
{
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

// Widens the detail view's Size, Type and Date columns to their texts each
// time a folder has been read; the dialog, within the screen.
void fitColumns(QFileDialog& dialog, const QWidget* parent)
{
    const QFontMetrics metrics(dialog.font());
    QSize size = dialog.sizeHint().expandedTo(
        QSize(metrics.averageCharWidth() * kDialogWidthChars, metrics.height() * kDialogHeightChars));
    if (const QRect area = availableArea(parent); area.isValid()) {
        size = size.boundedTo(area.size() - QSize(kFrameWidthPx, kFrameHeightPx));
        dialog.setMaximumSize(area.size());
    }
    dialog.resize(size);
    if (auto* splitter = dialog.findChild<QSplitter*>()) {
        const int places = metrics.averageCharWidth() * kPlacesWidthChars;
        splitter->setSizes({places, dialog.width() - places});
    }
    auto* files = dialog.findChild<QFileSystemModel*>();
    auto* tree = dialog.findChild<QTreeView*>();
    if (files == nullptr || tree == nullptr) return;
    QObject::connect(files, &QFileSystemModel::directoryLoaded, tree, [tree] {
        for (int column = 1; column < tree->header()->count(); ++column) tree->resizeColumnToContents(column);
    });
}

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const std::string& text, const std::string& title,
                                            MessageIcon icon)
{
    auto box = std::make_unique<QMessageBox>(qtIcon(icon), fromUtf8(title), fromUtf8(text), QMessageBox::Ok, parent);
    box->button(QMessageBox::Ok)->setText(fromUtf8(captions::kOk));
    box->setDefaultButton(QMessageBox::Ok);
    fitTitle(*box);
    return box;
}

std::unique_ptr<QMessageBox> makeQuestionBox(QWidget* parent, const std::string& text, const std::string& title,
                                             operations::DefaultAnswer preselected)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, fromUtf8(title), fromUtf8(text),
                                             QMessageBox::Yes | QMessageBox::No, parent);
    box->button(QMessageBox::Yes)->setText(fromUtf8(captions::kYes));
    box->button(QMessageBox::No)->setText(fromUtf8(captions::kNo));
    box->setDefaultButton(preselected == operations::DefaultAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    fitTitle(*box);
    return box;
}

std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const std::string& title,
                                            const std::vector<operations::FileFilter>& filters,
                                            QFileDialog::AcceptMode mode, const QString& offered)
{
    auto dialog = std::make_unique<QFileDialog>(parent, fromUtf8(title));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    if (mode == QFileDialog::AcceptSave) dialog->setOption(QFileDialog::DontConfirmOverwrite);
    QStringList names;
    for (const auto& filter : filters) names << nameFilter(filter);
    dialog->setNameFilters(names);
    dialog->setLabelText(QFileDialog::LookIn, fromUtf8(captions::kDialogLookIn));
    dialog->setLabelText(QFileDialog::FileName, fromUtf8(captions::kDialogFileName));
    dialog->setLabelText(QFileDialog::FileType, fromUtf8(captions::kDialogFileType));
    dialog->setLabelText(QFileDialog::Accept,
                         fromUtf8(mode == QFileDialog::AcceptOpen ? captions::kOpen : captions::kSave));
    dialog->setLabelText(QFileDialog::Reject, fromUtf8(captions::kDialogCancel));
    dialog->setProxyModel(new LocaleFileColumns(dialog.get()));
    fitColumns(*dialog, parent);
    if (offered.endsWith(QLatin1Char('/'))) {
        dialog->setDirectory(offered);
    } else if (!offered.isEmpty()) {
        dialog->selectFile(offered);
        // Once shown, the name is selected, so the next key replaces it.
        QTimer::singleShot(0, dialog.get(), [files = dialog.get()] {
            if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->selectAll();
        });
    }
    return dialog;
}

} // namespace

void QtDialogs::showMessage(const std::string& text, const std::string& title, MessageIcon icon)
{
    makeMessageBox(m_parent, text, title, icon)->exec();
}

bool QtDialogs::askYesNo(const std::string& text, const std::string& title, operations::DefaultAnswer preselected)
{
    auto box = makeQuestionBox(m_parent, text, title, preselected);
    box->exec();
    return box->clickedButton() == box->button(QMessageBox::Yes);
}

std::optional<std::string> QtDialogs::chooseOpenFile(const std::string& title,
                                                     const std::vector<operations::FileFilter>& filters)
{
    return choose(title, filters, QFileDialog::AcceptOpen, m_lastPath);
}

std::optional<std::string> QtDialogs::chooseSaveFile(const std::string& title,
                                                     const std::vector<operations::FileFilter>& filters,
                                                     const std::string& suggested)
{
    auto chosen = chooseSaveFileOfType(title, filters, suggested);
    if (!chosen) return std::nullopt;
    return std::move(chosen->path);
}

std::optional<operations::Dialogs::ChosenSave> QtDialogs::chooseSaveFileOfType(
    const std::string& title, const std::vector<operations::FileFilter>& filters, const std::string& suggested)
{
    // Without a suggestion, the folder used last but none of its names: the
    // name opened into one panel is never offered for the other's save.
    QString offered = fromUtf8(suggested);
    if (offered.isEmpty() && !m_lastPath.isEmpty()) offered = QFileInfo(m_lastPath).absolutePath() + QLatin1Char('/');
    std::size_t filter = filters.size();
    auto path = choose(title, filters, QFileDialog::AcceptSave, offered, &filter);
    if (!path) return std::nullopt;
    return ChosenSave{std::move(*path), filter};
}

std::optional<std::string> QtDialogs::choose(const std::string& title,
                                             const std::vector<operations::FileFilter>& filters,
                                             QFileDialog::AcceptMode mode, const QString& offered, std::size_t* filter)
{
    const ForgetDialogState forget;  // destroyed after the dialog, which writes its state then
    auto dialog = makeFileDialog(m_parent, title, filters, mode, offered);
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    m_lastPath = chosen.front();
    for (std::size_t i = 0; filter != nullptr && i < filters.size(); ++i) {
        if (nameFilter(filters[i]) == dialog->selectedNameFilter()) *filter = i;
    }
    return m_lastPath.toStdString();
}

} // namespace hattsheet::ui
