// scripts/install into a temporary home: the files and their modes, the desktop entry's Exec line starting the
// installed program, an update that keeps the wallet, and the uninstall that keeps it too. The steps build on
// each other.
#include "desktop.h"
#include "programfolder.h"

#include <QImageReader>
#include <QtTest>

#include <sys/stat.h>

namespace {
// What the install makes under ~/.local, each with its mode.
const QString kInstalled = "share/vaultry 700, share/vaultry/vaultry 755, share/vaultry/libVaultryBrowser.so 755, "
                           "share/vaultry/libTymcore.so 755, share/vaultry/Qorvish.bmp 644, bin/vaultry 755, "
                           "share/applications/vaultry.desktop 644, share/icons/hicolor/48x48/apps/vaultry.png 644, "
                           "share/icons/hicolor/128x128/apps/vaultry.png 644, "
                           "share/icons/hicolor/256x256/apps/vaultry.png 644";
} // namespace

class tst_Install : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;
    const QStringList m_wallet {"vy.bdb", "vy.ini", "thumbs/a.bmp"};

    QString path(const QString &name) const { return m_home.filePath(".local/" + name); }
    QString install(const QStringList &arguments = {"--from", qEnvironmentVariable("VAULTRY_PROGRAM_DIR")})
    {
        QProcess script;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home.path());
        env.remove("XDG_DATA_HOME");
        script.setProcessEnvironment(env);
        script.setProcessChannelMode(QProcess::MergedChannels);
        script.start(qEnvironmentVariable("VAULTRY_SOURCE_DIR") + "/scripts/install", arguments);
        const bool ok = script.waitForFinished(60000) && script.exitCode() == 0;
        return (ok ? "" : "failed: ") + QString::fromLocal8Bit(script.readAll());
    }
    // Each name of kInstalled with the mode it has now, "-" for none.
    QString modes() const
    {
        QStringList shown;
        for (const QString &entry : kInstalled.split(", ")) {
            const QString name = entry.section(' ', 0, 0);
            struct stat st
            {
            };
            const bool there = ::stat(QFile::encodeName(path(name)).constData(), &st) == 0;
            shown << name + ' ' + (there ? QString::number(st.st_mode & 07777, 8) : "-");
        }
        return shown.join(", ");
    }
    // The wallet's files, their content and when each was last written.
    QString wallet() const
    {
        QString state;
        for (const QString &name : m_wallet) {
            QFile f(path("share/vaultry/" + name));
            state += name + (f.open(QIODevice::ReadOnly) ? f.readAll() : "-") +
                QFileInfo(f).lastModified().toString(Qt::ISODateWithMs) + "; ";
        }
        return state;
    }

private slots:
    void installs()
    {
        QVERIFY(m_home.isValid() && install().startsWith("Vaultry is installed"));
        QCOMPARE(modes(), kInstalled);
        for (int size : {48, 128, 256})
            QCOMPARE(QImageReader(path(QString("share/icons/hicolor/%1x%1/apps/vaultry.png").arg(size))).size(),
                     QSize(size, size));
        QCOMPARE(QProcess::execute("desktop-file-validate", {path("share/applications/vaultry.desktop")}), 0);
    }
    // As the desktop's menu does: the command of the entry's Exec line, which starts the program in its new folder.
    void launcherStartsVaultry()
    {
        QSettings entry(path("share/applications/vaultry.desktop"), QSettings::IniFormat);
        const QStringList command = QProcess::splitCommand(entry.value("Desktop Entry/Exec").toString());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home.path());
        Launched program(command.value(0), env, command.mid(1));
        QVERIFY2(!Desktop().waitFor(Titles::kEnrolment, program.pid, 30000).isEmpty(), qPrintable(program.output()));
        QVERIFY(QFile::exists(path("share/vaultry/.vy.lock")));
    }
    // An update replaces the program and leaves the wallet as it was, to the millisecond.
    void updateKeepsTheWallet()
    {
        QDir(path("share/vaultry")).mkdir("thumbs");
        for (const QString &name : m_wallet + QStringList {"vaultry"}) {
            QFile f(path("share/vaultry/" + name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(name.toUtf8() + " as the user left it") > 0);
        }
        const QString before = wallet();
        QVERIFY(install().startsWith("Vaultry is installed"));
        QCOMPARE(wallet(), before);
        QCOMPARE(modes(), kInstalled);
        QFile built(qEnvironmentVariable("VAULTRY_PROGRAM_DIR") + "/vaultry"), installed(path("share/vaultry/vaultry"));
        QVERIFY(built.open(QIODevice::ReadOnly) && installed.open(QIODevice::ReadOnly));
        QVERIFY(built.readAll() == installed.readAll());
    }
    // Everything of the program goes; the wallet stays, and the script says where.
    void uninstallKeepsTheWallet()
    {
        const QString before = wallet();
        QVERIFY(install({"--uninstall"}).contains("Your wallet stays in " + path("share/vaultry/")));
        QCOMPARE(wallet(), before);
        QVERIFY2(modes().startsWith("share/vaultry 700,") && modes().count(" -") == 9, qPrintable(modes()));
    }
};

QTEST_MAIN(tst_Install)
#include "tst_install.moc"
