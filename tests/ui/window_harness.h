#pragma once
// A main window with scripted dialogs and its own temporary directory, shown
// and active, for the widget tests.

#include "fake_window.h"
#include "main_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace hattsheet::testing {

// Scripted dialogs that also note what panel 2 showed when a message came.
struct HarnessDialogs : FakeDialogs {
    const QPlainTextEdit* watched = nullptr;
    std::vector<QString> watchedAtMessage;
    void showMessage(const std::string& text, const std::string& title, conversion::MessageIcon icon) override
    {
        if (watched) watchedAtMessage.push_back(watched->toPlainText());
        FakeDialogs::showMessage(text, title, icon);
    }
};

struct WindowHarness {
    QTemporaryDir temp;
    HarnessDialogs dialogs;
    std::unique_ptr<ui::MainWindow> window;

    WindowHarness()
    {
        const std::string dir = temp.path().toStdString();
        window = std::make_unique<ui::MainWindow>(conversion::TempPlaces{dir, dir}, &dialogs);
        window->show();
    }
    ~WindowHarness()
    {
        // A close at the end of a test must not ask the quit question.
        window->hide();
    }
    bool activate() { return QTest::qWaitForWindowActive(window.get()); }

    template <typename T = QWidget>
    T* child(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QLineEdit* field(const char* name) const { return child<QLineEdit>(name); }
    QPlainTextEdit* panel(const char* name) const { return child<QPlainTextEdit>(name); }
    QString text(const char* name) const
    {
        if (auto* line = field(name)) return line->text();
        return panel(name)->toPlainText();
    }
    void click(const char* name) const { QTest::mouseClick(child(name), Qt::LeftButton); }
    static QString focusName()
    {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QStringLiteral("(none)");
    }
    // A key pressed where the focus is, as the user types it.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
};

} // namespace hattsheet::testing
