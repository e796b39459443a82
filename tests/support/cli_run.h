#pragma once
// hattsheet-convert as a process: arguments, standard input, and what it
// gave back. HATTSHEET_CONVERT is the program's path, set by CMake.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <functional>

namespace hattsheet::testing {

struct CliRun {
    int exitCode = -1;  // -1: did not start, crashed or hung
    QByteArray out, err;
};

// The window's default centres (old 40.51, -0.51; new 40.45, -0.45).
inline const QStringList kDefaultCentres{"--from", "40.51,-0.51", "--to", "40.45,-0.45"};

// stdoutFile redirects the standard output to a file (then `out` is empty);
// inChild runs in the child before the program starts (limits, user ids).
inline CliRun runConvert(const QStringList& args, const QByteArray& input = {}, const QString& stdoutFile = {},
                         std::function<void()> inChild = {})
{
    QProcess p;
    if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
    if (inChild) p.setChildProcessModifier(inChild);
    p.start(HATTSHEET_CONVERT, args);
    if (!p.waitForStarted(10000)) return {};
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return {};
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

} // namespace hattsheet::testing
