#include "singleinstance.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

class tst_SingleInstance : public QObject
{
    Q_OBJECT

private slots:
    // One copy per folder, whatever the folder is called; the lock lies outside the program folder.
    void oneCopyPerFolder()
    {
        QTemporaryDir a;
        QTemporaryDir b;
        auto first = std::make_unique<SingleInstance>(a.path());
        QVERIFY(first->acquire());
        QVERIFY(QFile::exists(first->lockFilePath()));
        QVERIFY(!first->lockFilePath().startsWith(a.path()));
        QCOMPARE(QDir(a.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        SingleInstance second(a.path() + QStringLiteral("/./"));
        QVERIFY(!second.acquire());
        SingleInstance elsewhere(b.path());
        QVERIFY(elsewhere.acquire());
        first.reset();
        SingleInstance third(a.path());
        QVERIFY(third.acquire());
    }

    void anotherProcessHoldsIt()
    {
        QTemporaryDir folder;
        QProcess *holder = startHolder(folder.path());
        QVERIFY(holder);
        SingleInstance mine(folder.path());
        QVERIFY(!mine.acquire());
        // A copy that has run for an hour still holds the program.
        QFile lock(mine.lockFilePath());
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        lock.close();
        SingleInstance later(folder.path());
        QVERIFY(!later.acquire());
        holder->terminate();
        QVERIFY(holder->waitForFinished(10000));
        SingleInstance after(folder.path());
        QVERIFY(after.acquire());
    }

    void crashedCopyIsTakenOver()
    {
        QTemporaryDir folder;
        QProcess *holder = startHolder(folder.path());
        QVERIFY(holder);
        holder->kill(); // no chance to remove its lock
        QVERIFY(holder->waitForFinished(10000));
        SingleInstance mine(folder.path());
        QVERIFY(QFile::exists(mine.lockFilePath()));
        QVERIFY(mine.acquire());
        SingleInstance another(folder.path());
        QVERIFY(!another.acquire());
    }

private:
    QProcess *startHolder(const QString &folder)
    {
        auto *holder = new QProcess(this);
        holder->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), folder});
        if (!holder->waitForReadyRead(10000) || !holder->readAll().startsWith("held"))
            return nullptr;
        return holder;
    }
};

// With "--hold <folder>" the test runs as a second copy that takes the lock and waits to be ended.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) {
        SingleInstance instance(QString::fromLocal8Bit(argv[2]));
        if (!instance.acquire())
            return 1;
        std::puts("held");
        std::fflush(stdout);
        return QCoreApplication::exec();
    }
    tst_SingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
