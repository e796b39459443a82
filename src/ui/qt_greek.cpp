#include "qt_greek.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace hattsheet::ui {

bool installGreek(QCoreApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Greek, QLocale::Greece));
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral(":/translations/hattsheet_el.qm"))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace hattsheet::ui
