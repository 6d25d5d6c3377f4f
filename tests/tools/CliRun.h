#pragma once
// Runs the real programs for the tools' tests and collects what they print.
#include <QFile>
#include <QProcess>
#include <QString>

#include <ostream>

// For test failures: the text, not its characters one by one.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

struct CliRun {
    int status = -1; // -1: the program did not end normally
    QString out, err;
};

inline CliRun RunProgram(const QString& program, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

inline CliRun Cli(const QStringList& args) {
    return RunProgram(VEMO_CLI, args);
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
