// The window's list operations as a user meets them: the real main window
// (offscreen unless a platform is set), its buttons clicked, the file
// dialogs and message boxes answered by a script. Times, in seconds:
//   open   the click on "Άνοιγμα" of panel 1 until the panel is shown,
//   batch  the click on "Μετατροπή ομάδας σημείων" until its message,
//   save   the click on "Αποθήκευση" of panel 2 until its message,
// each with the CPU time the process spent in it (a busy machine stretches
// the first, not the second), and the process's peak resident memory at the
// end of each. One run per process, so that the peaks belong to this list.
//
//   bench_window LIST_FILE SAVED_FILE
//
// Prints "open S CPU MB batch S CPU MB save S CPU MB"; exits 1 when a message
// other than the expected one came.

#include "support/fake_window.h"
#include "ui/main_window.h"
#include "operations/window_texts.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;
using hattsheet::operations::windowTexts;
using hattsheet::operations::withPointCount;

// Notes when the first message after a click came.
struct Dialogs : hattsheet::testing::FakeDialogs {
    Clock::time_point messageAt;
    void showMessage(const std::string& text, const std::string& title,
                     hattsheet::operations::MessageIcon icon) override
    {
        messageAt = Clock::now();
        FakeDialogs::showMessage(text, title, icon);
    }
};

double seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// The peak resident memory so far (MB).
double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: bench_window LIST_FILE SAVED_FILE\n", stderr);
        return 64;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temp;
    Dialogs dialogs;
    hattsheet::ui::MainWindow window({temp.path().toStdString(), temp.path().toStdString()}, &dialogs);
    window.show();
    QApplication::processEvents();
    const auto click = [&](const char* name) {
        window.findChild<QPushButton*>(QString::fromLatin1(name))->click();
        QApplication::processEvents();  // the panels laid out and painted
        return Clock::now();
    };

    dialogs.fileAnswers = {argv[1]};
    auto t0 = Clock::now();
    double c0 = cpuSeconds();
    const double open = seconds(t0, click("cmdOp1"));
    const double openCpu = cpuSeconds() - c0;
    const double openPeak = peakMegabytes();

    t0 = Clock::now();
    c0 = cpuSeconds();
    click("cmdAll");
    const double batch = seconds(t0, dialogs.messageAt);
    const double batchCpu = cpuSeconds() - c0;  // to the end of the click, a little past the message
    const double batchPeak = peakMegabytes();

    dialogs.fileAnswers = {argv[2]};
    t0 = Clock::now();
    c0 = cpuSeconds();
    click("cmdSav2");
    const double save = seconds(t0, dialogs.messageAt);
    const double saveCpu = cpuSeconds() - c0;

    std::printf("open %.3f %.3f %.1f batch %.3f %.3f %.1f save %.3f %.3f %.1f\n", open, openCpu, openPeak, batch,
                batchCpu, batchPeak, save, saveCpu, peakMegabytes());
    const bool asExpected = dialogs.messages.size() == 3 && dialogs.messages[0].text.starts_with(windowTexts().opened) &&
                            dialogs.messages[1].text.starts_with(windowTexts().batchDone) &&
                            dialogs.messages[2].text == windowTexts().saved;
    if (!asExpected) {
        for (const auto& m : dialogs.messages) std::fprintf(stderr, "message: %s\n", m.text.c_str());
        return 1;
    }
    return 0;
}
