#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A fresh temporary folder made the process's current directory for the life of the object,
// so the settings and help files of one test never meet another's. The per-user data folder
// (XDG_DATA_HOME) moves into it too, and the configuration and state folders (XDG_CONFIG_HOME,
// XDG_STATE_HOME) into folders of their own, so that no test reads or leaves anything in the
// real ones.
class TempWorkDir {
public:
    TempWorkDir()
        : m_previous(QDir::currentPath()),
          m_previousDataHome(qgetenv("XDG_DATA_HOME")),
          m_hadDataHome(qEnvironmentVariableIsSet("XDG_DATA_HOME")),
          m_previousConfigHome(qgetenv("XDG_CONFIG_HOME")),
          m_hadConfigHome(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")),
          m_previousStateHome(qgetenv("XDG_STATE_HOME")),
          m_hadStateHome(qEnvironmentVariableIsSet("XDG_STATE_HOME"))
    {
        QDir::setCurrent(m_dir.path());
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
        qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome()));
    }
    ~TempWorkDir()
    {
        QDir::setCurrent(m_previous);
        Restore("XDG_DATA_HOME", m_hadDataHome, m_previousDataHome);
        Restore("XDG_CONFIG_HOME", m_hadConfigHome, m_previousConfigHome);
        Restore("XDG_STATE_HOME", m_hadStateHome, m_previousStateHome);
    }
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // Not created until something writes there.
    QString dataHome() const { return m_dir.filePath(QStringLiteral(".data-home")); }
    QString configHome() const { return m_configDir.path(); }
    QString stateHome() const { return m_stateDir.path(); }

private:
    static void Restore(const char* name, bool had, const QByteArray& value)
    {
        if (had)
            qputenv(name, value);
        else
            qunsetenv(name);
    }

    QString m_previous;
    QByteArray m_previousDataHome;
    bool m_hadDataHome;
    QByteArray m_previousConfigHome;
    bool m_hadConfigHome;
    QByteArray m_previousStateHome;
    bool m_hadStateHome;
    QTemporaryDir m_dir;
    QTemporaryDir m_configDir;
    QTemporaryDir m_stateDir;
};
