#include "singleinstance.h"

#include <QtTest>

class tst_SingleInstance : public QObject
{
    Q_OBJECT

private slots:
    // One copy per program folder: another copy of the same folder is refused, even one started from another
    // environment (a desktop session's runtime folder), one of another folder is not, and the folder
    // is free again once its copy is killed, with no chance to clean up.
    void oneCopyPerFolder()
    {
        QTemporaryDir a, b, session;
        QProcess other;
        qputenv("XDG_RUNTIME_DIR", session.path().toLocal8Bit());
        other.start(QCoreApplication::applicationFilePath(), {"--hold", a.path()});
        qunsetenv("XDG_RUNTIME_DIR");
        QVERIFY(other.waitForReadyRead(10000) && !SingleInstance(a.path() + "/./").acquire());
        QVERIFY(SingleInstance(b.path()).acquire());
        other.kill();
        SingleInstance mine(a.path());
        QVERIFY(other.waitForFinished(10000) && mine.acquire() && !SingleInstance(a.path()).acquire());
    }
};

// With "--hold <folder>" the test is that other copy: it takes the folder, says so and waits.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) {
        SingleInstance other(QString::fromLocal8Bit(argv[2]));
        QTextStream(stdout) << (other.acquire() ? "held" : "refused") << Qt::endl;
        return app.exec();
    }
    tst_SingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
