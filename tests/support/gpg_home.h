#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <utility>

#include "test_files.h"

// Debian's gpg in a home of its own, with one passphrase, read from a file: no pinentry, and
// nothing cached in its agent, which is stopped when the home goes.
class GpgHome {
public:
    explicit GpgHome(QByteArray passphrase) : m_passphrase(std::move(passphrase)) {}
    ~GpgHome()
    {
        QProcess::execute("gpgconf", {"--homedir", m_home.path(), "--kill", "gpg-agent"});
    }
    GpgHome(const GpgHome&) = delete;
    GpgHome& operator=(const GpgHome&) = delete;

    // gpg's standard output, or "<gpg failed>".
    QByteArray run(const QStringList& args, const QByteArray& input)
    {
        WriteFile(m_home.filePath("pass"), m_passphrase);
        QProcess gpg;
        gpg.start("gpg", QStringList{"--homedir", m_home.path(), "--batch", "--quiet",
                                     "--pinentry-mode", "loopback", "--no-symkey-cache",
                                     "--passphrase-file", m_home.filePath("pass")} +
                             args);
        gpg.write(input);
        gpg.closeWriteChannel();
        gpg.waitForFinished();
        return gpg.exitCode() == 0 ? gpg.readAllStandardOutput() : "<gpg failed>";
    }

private:
    QByteArray m_passphrase;
    QTemporaryDir m_home;
};
