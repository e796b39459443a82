#include "ui/qt_no_settings.h"

#include <QOperatingSystemVersion>
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

// Qt's organisation key itself, HKEY_CURRENT_USER\Software\QtProject on
// Windows: removing the dialog's group leaves it behind, empty. Elsewhere
// the settings go nowhere (keepNoSettings), and there is no such key: a
// path-named QSettings there would be a file.
constexpr char kQtOrganisation[] = "QtProject";
bool inRegistry() { return QOperatingSystemVersion::currentType() == QOperatingSystemVersion::Windows; }
QSettings userSoftware() { return QSettings(QStringLiteral("HKEY_CURRENT_USER\\Software"), QSettings::NativeFormat); }

bool qtOrganisationThere()
{
    return !inRegistry() || userSoftware().childGroups().contains(QString::fromLatin1(kQtOrganisation));
}

void removeQtOrganisationIfEmpty()
{
    if (!inRegistry()) return;
    QSettings software = userSoftware();
    software.beginGroup(QString::fromLatin1(kQtOrganisation));
    const bool empty = software.allKeys().isEmpty();
    software.endGroup();
    if (empty) software.remove(QString::fromLatin1(kQtOrganisation));
}

} // namespace

ForgetDialogState::ForgetDialogState()
    : m_wasThere(qtDialogSettings().childGroups().contains(QString::fromLatin1(kDialogGroup))),
      m_organisationWasThere(qtOrganisationThere())
{
}

ForgetDialogState::~ForgetDialogState()
{
    if (!m_wasThere) qtDialogSettings().remove(QString::fromLatin1(kDialogGroup));
    if (!m_organisationWasThere) removeQtOrganisationIfEmpty();
}

} // namespace hattsheet::ui
