#include "ui/qt_no_settings.h"

#include <QSettings>
#include <QString>

namespace hattsheet::ui {

void keepNoSettings()
{
    // The resource tree is read-only: QSettings gives up there before it
    // creates the folder or the temporary file it probes a new file's place
    // with. The file dialog asks for the native format, which on Linux is a
    // file like the INI format's.
    const QString nowhere = QStringLiteral(":/no-settings");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(format, scope, nowhere);
        }
    }
}

namespace {

// Where Qt's file dialog keeps its state (qfiledialog.cpp): the
// organisation "QtProject", group "FileDialog", native format.
QSettings qtDialogSettings() { return QSettings(QSettings::UserScope, QStringLiteral("QtProject")); }
constexpr char kDialogGroup[] = "FileDialog";

} // namespace

ForgetDialogState::ForgetDialogState() : m_wasThere(qtDialogSettings().childGroups().contains(QString::fromLatin1(kDialogGroup))) {}

ForgetDialogState::~ForgetDialogState()
{
    if (!m_wasThere) qtDialogSettings().remove(QString::fromLatin1(kDialogGroup));
}

} // namespace hattsheet::ui
