#pragma once
// hattsheet-convert as a process: arguments, standard input, and what it
// gave back. HATTSHEET_CONVERT is the program's path, set by CMake.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <functional>

namespace hattsheet::testing {

struct CliRun {
    int exitCode = -1;  // -1: did not start, crashed or hung; err then says why
    QByteArray out, err;
    bool ran() const { return exitCode >= 0; }
};

// The window's default centres (old 40.51, -0.51; new 40.45, -0.45).
inline const QStringList kDefaultCentres{"--from", "40.51,-0.51", "--to", "40.45,-0.45"};
// The worked examples of the conversion with these centres, as a point line
// shows them.
inline const QByteArray kWorked = "-7429.270, 13107.462";  // (1000, 2000) on the new sheet
inline const QByteArray kOrigin = "-8431.552, 11108.603";  // (0, 0) on the new sheet

// A copy of the program in a folder of the test's own, for a child that
// drops to a user who may not enter the folders of the build tree (a clone
// under a private folder). Empty when it cannot be made.
inline QString programCopyIn(const QString& folder)
{
    const QString copy = folder + "/hattsheet-convert";
    QFile::remove(copy);
    if (!QFile::copy(HATTSHEET_CONVERT, copy)) return {};
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    return copy;
}

// stdoutFile redirects the standard output to a file (then `out` is empty);
// inChild runs in the child before the program starts (limits, user ids).
// A run that did not end on its own gives exit code -1 and the reason in err.
// The messages come in the language of `lang` (LANG; LC_ALL and LC_MESSAGES
// unset): Greek unless a test asks for another.
inline CliRun runConvert(const QStringList& args, const QByteArray& input = {}, const QString& stdoutFile = {},
                         std::function<void()> inChild = {}, const QString& program = HATTSHEET_CONVERT,
                         const QString& lang = "el_GR.UTF-8")
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LC_ALL");
    env.remove("LC_MESSAGES");
    env.insert("LANG", lang);
    p.setProcessEnvironment(env);
    if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
    if (inChild) p.setChildProcessModifier(inChild);
    p.start(program, args);
    auto failure = [&](const char* what) {
        return CliRun{-1, {}, (program + " " + what + ": " + p.errorString()).toLocal8Bit()};
    };
    if (!p.waitForStarted(10000)) return failure("did not start");
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) {
        p.kill();
        return failure("did not end within 60 s");
    }
    if (p.exitStatus() != QProcess::NormalExit) return failure("crashed");
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

} // namespace hattsheet::testing
