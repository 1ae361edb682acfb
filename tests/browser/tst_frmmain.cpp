// The main window: profile list, new, edit, delete, protected profiles, opening a profile in a tab.
#include "accounttabs.h"
#include "frmwebsiteprofile.h"
#include "loginpageserver.h"
#include "mainwindowharness.h"
#include "startpage.h"
#include "tabsharness.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

const QString kEmpty = QStringLiteral("No website profile is available");
const QString kSelect = QStringLiteral("Select a website profile");
const QString kUnused = QStringLiteral("0|||");
const QString kNoPicture = QStringLiteral("thumb edit delete");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the tab holds for a profile added by Fixture::add.
QString holds(const QString &name)
{
    return QStringLiteral("1|http://%1.test/|%2-id|%2-pw").arg(name.toLower(), name);
}

struct Fixture : MainWindowHarness
{
    Fixture() { accessGranted = false; }

    void add(const QString &name, bool tympra = false, const QString &thumb = {}, const QString &url = {})
    {
        db.AddWebsiteProfile(tympra, name, url.isEmpty() ? QStringLiteral("http://%1.test/").arg(name.toLower()) : url,
                             name + QStringLiteral("-id"), name + QStringLiteral("-pw"), thumb);
        QVERIFY(db.SaveDB());
    }
    template<typename T>
    T *child(const char *name)
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QComboBox *list() { return child<QComboBox>("cboWP"); }
    QStringList items()
    {
        QStringList texts;
        for (int i = 0; i < list()->count(); ++i)
            texts << list()->itemText(i);
        return texts;
    }
    // Chooses list position p as the user does (choosing the chosen profile again counts).
    void choose(int p)
    {
        list()->setCurrentIndex(p);
        emit list()->activated(p);
    }
    void selectTab(int k) { child<QTabBar>("tbs")->setCurrentIndex(k - 1); }
    // Tab i as "in use|address|login name|password".
    QString tab(int i)
    {
        const TabState &t = window->tabs().tab(i);
        return QStringList {QString::number(t.bTabInUse), t.sTabURL, t.sTabID, t.sTabPassword}.join(QLatin1Char('|'));
    }
    // The pictures beside the list: "thumb picture edit delete badge", each word only while shown
    // ("picture" when the thumbnail holds one).
    QString pictures()
    {
        QStringList shown;
        const std::pair<const char *, const char *> controls[] = {
            {"imgWPThumb", "thumb"}, {"imgEditWP", "edit"}, {"imgDeleteWP", "delete"}, {"imgWPTympra", "badge"}};
        for (const auto &[name, word] : controls) {
            if (!child<QWidget>(name)->isHidden())
                shown << QLatin1String(word);
            if (word == controls[0].second && !child<QLabel>(name)->pixmap().isNull())
                shown << QStringLiteral("picture");
        }
        return shown.join(QLatin1Char(' '));
    }
};

// Answers the profile dialog once the next click shows it modally; an empty name aborts it.
void answerEditor(const QString &name = {}, const QString &url = {}, const QString &id = {}, const QString &pw = {})
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        auto *d = qobject_cast<frmWebsiteProfile *>(QApplication::activeModalWidget());
        if (!d)
            return;
        timer->stop();
        timer->deleteLater();
        if (name.isEmpty()) {
            d->findChild<QPushButton *>(QStringLiteral("cmdAbort"))->click();
            return;
        }
        d->findChild<QLineEdit *>(QStringLiteral("txtWebsiteName"))->setText(name);
        d->findChild<QLineEdit *>(QStringLiteral("txtURL"))->setText(url);
        d->findChild<QLineEdit *>(QStringLiteral("txtID"))->setText(id);
        d->findChild<QLineEdit *>(QStringLiteral("txtPassword"))->setText(pw);
        d->findChild<QPushButton *>(QStringLiteral("cmdConfirm"))->click();
    });
    timer->start();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    // The drawn pictures come from the program's resources; a missing registration leaves them blank.
    void picturesLoaded()
    {
        Fixture f;
        f.open();
        for (const char *name : {"imgEditWP", "imgDeleteWP", "cmdBack", "cmdForward", "cmdRefresh", "cmdStop"})
            QVERIFY2(!f.child<QToolButton>(name)->icon().isNull(), name);
        for (const char *name : {"imgWPTympra", "imgSideBar", "imgLeftCorner", "imgRightCorner"})
            QVERIFY2(!f.child<QLabel>(name)->pixmap().isNull(), name);
    }

    void emptyStoreThenFirstProfile()
    {
        Fixture f;
        f.open();
        QCOMPARE(f.items(), QStringList {kEmpty});
        QCOMPARE(f.list()->currentIndex(), 0);
        QCOMPARE(f.pictures(), QString());

        f.selectTab(2);
        answerEditor(QStringLiteral("Mail"), QStringLiteral("http://mail.test/"), QStringLiteral("me"),
                     QStringLiteral("pw"));
        f.child<QPushButton>("cmdNewWP")->click();
        QCOMPARE(f.items(), (QStringList {kSelect, QStringLiteral("Mail")}));
        QCOMPARE(f.list()->currentIndex(), 1);
        QCOMPARE(f.pictures(), kNoPicture);
        QCOMPARE(f.tab(1), QStringLiteral("1|http://mail.test/|me|pw"));
        QCOMPARE(f.tab(0), kUnused);
        QCOMPARE(f.loginChecks, 0);
    }

    void choosingCopiesIntoCurrentTabOnly()
    {
        Fixture f;
        f.add(QStringLiteral("A"));
        f.add(QStringLiteral("B"));
        f.open();
        answerEditor(); // a new profile aborted changes nothing
        f.child<QPushButton>("cmdNewWP")->click();
        QCOMPARE(f.items(), (QStringList {kSelect, QStringLiteral("A"), QStringLiteral("B")}));
        QCOMPARE(f.list()->currentIndex(), 0);
        QCOMPARE(f.tab(0), kUnused);
        f.selectTab(3);
        f.choose(1);
        QCOMPARE(f.tab(2), holds(QStringLiteral("A")));
        for (int t : {0, 1, 3, 4})
            QCOMPARE(f.tab(t), kUnused);

        // The same profile in a second tab: its own copy; another profile there overwrites only that tab.
        f.selectTab(5);
        f.choose(1);
        QCOMPARE(f.tab(4), holds(QStringLiteral("A")));
        f.window->tabs().tab(4).bTabSignInDone = true;
        f.choose(2);
        QCOMPARE(f.tab(4), holds(QStringLiteral("B")));
        QVERIFY(!f.window->tabs().tab(4).bTabSignInDone); // re-armed
        QCOMPARE(f.tab(2), holds(QStringLiteral("A")));

        // Back to the placeholder: pictures go, tabs stay.
        f.choose(0);
        QCOMPARE(f.pictures(), QString());
        QCOMPARE(f.tab(4), holds(QStringLiteral("B")));
    }

    void editingDoesNotChangeTabUntilChosenAgain()
    {
        Fixture f;
        f.add(QStringLiteral("A"));
        f.open();
        f.choose(1);
        answerEditor(QStringLiteral("A2"), QStringLiteral("http://a2.test/"), QStringLiteral("id2"),
                     QStringLiteral("pw2"));
        f.child<QToolButton>("imgEditWP")->click();
        QCOMPARE(f.db.WPURL(0), QStringLiteral("http://a2.test/"));
        QCOMPARE(f.list()->itemText(1), QStringLiteral("A2"));
        QCOMPARE(f.list()->currentIndex(), 1);
        QCOMPARE(f.tab(0), holds(QStringLiteral("A")));
        f.choose(1);
        QCOMPARE(f.tab(0), QStringLiteral("1|http://a2.test/|id2|pw2"));
    }

    // The tab keeps its page either way; deleting chooses no other profile.
    void deleting_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("left"); // the list afterwards
        QTest::addColumn<QString>("pictures");
        QTest::newRow("the only one, yes") << QStringList {"A"} << 1 << true << QStringList {kEmpty} << QString();
        QTest::newRow("the only one, no")
            << QStringList {"A"} << 1 << false << QStringList {kSelect, "A"} << kNoPicture;
        QTest::newRow("the middle one, yes")
            << QStringList {"A", "B", "C"} << 2 << true << QStringList {kSelect, "A", "C"} << QString();
    }
    void deleting()
    {
        QFETCH(QStringList, names);
        QFETCH(int, chosen);
        QFETCH(bool, yes);
        QFETCH(QStringList, left);
        QFETCH(QString, pictures);
        Fixture f;
        for (const QString &name : names)
            f.add(name);
        f.open();
        f.choose(chosen);
        const int checks = f.loginChecks;
        f.messages.nextAnswers.enqueue(yes ? MessageAnswer::Yes : MessageAnswer::No);
        f.child<QToolButton>("imgDeleteWP")->click();
        QCOMPARE(f.messages.messages.size(), 1);
        QCOMPARE(f.messages.lastText(), QStringLiteral("Delete this website profile?"));
        QCOMPARE(f.messages.messages[0].buttons, MessageButtons::YesNo);
        QCOMPARE(f.tab(0), holds(names[chosen - 1]));
        QCOMPARE(f.loginChecks, checks);
        QCOMPARE(f.items(), left);
        QCOMPARE(f.list()->currentIndex(), yes ? 0 : chosen);
        QCOMPARE(f.pictures(), pictures);
        clsAgentDB reread(f.folder.path());
        QVERIFY(reread.OpenDB());
        QStringList stored;
        for (const WebsiteProfile &p : reread.Profiles())
            stored << p.Name;
        QCOMPARE(stored, left.mid(1));
    }

    // A thumbnail is shown or left empty; a failed save after deleting is reported and the profile stays,
    // with its thumbnail.
    void thumbnailsAndFailedDeleting()
    {
        Fixture f;
        QDir(f.folder.path()).mkpath(QStringLiteral("thumbs"));
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(f.db.ThumbsFolder() + QStringLiteral("a.bmp")));
        const QByteArray picture = readAll(f.db.ThumbsFolder() + QStringLiteral("a.bmp"));
        f.add(QStringLiteral("A"), false, QStringLiteral("a.bmp"));
        f.add(QStringLiteral("B"), false, QStringLiteral("missing.bmp"));
        f.open();
        f.choose(2);
        QCOMPARE(f.pictures(), kNoPicture);
        f.choose(1);
        QCOMPARE(f.pictures(), QStringLiteral("thumb picture edit delete"));
        QVERIFY(f.messages.messages.isEmpty());

        QVERIFY(QFile::remove(f.db.DBFile()));
        QDir(f.folder.path()).mkpath(QStringLiteral("vy.bdb/keep"));
        f.messages.nextAnswers.enqueue(MessageAnswer::Yes);
        f.child<QToolButton>("imgDeleteWP")->click();
        QCOMPARE(f.messages.messages.size(), 2);
        QCOMPARE(f.messages.lastText(), QStringLiteral("Failed to update database.\r\nPlease try again."));
        QCOMPARE(f.db.WebsiteProfileCount(), 2);
        QCOMPARE(f.items(), (QStringList {kSelect, QStringLiteral("A"), QStringLiteral("B")}));
        QCOMPARE(f.list()->currentIndex(), 1);
        QCOMPARE(f.pictures(), QStringLiteral("thumb picture edit delete"));
        QCOMPARE(readAll(f.db.WPThumbName(0)), picture);
    }

    void protectedProfileChecksEveryTime()
    {
        Fixture f;
        f.add(QStringLiteral("Bank"), true);
        f.add(QStringLiteral("Mail"));
        f.open();
        f.selectTab(2);

        // A failed check leaves the tab untouched and the profile chosen, with its pictures.
        f.loginPasses = false;
        f.choose(1);
        QCOMPARE(f.loginChecks, 1);
        QVERIFY(!f.accessGranted);
        QCOMPARE(f.tab(1), kUnused);
        QCOMPARE(f.list()->currentIndex(), 1);
        QCOMPARE(f.pictures(), kNoPicture + QStringLiteral(" badge"));

        // Editing after the failed check asks for no further check.
        answerEditor();
        f.child<QToolButton>("imgEditWP")->click();
        QCOMPARE(f.loginChecks, 1);

        // Choosing it again repeats the check; this time it passes.
        f.loginPasses = true;
        f.choose(1);
        QCOMPARE(f.loginChecks, 2);
        QCOMPARE(f.tab(1), holds(QStringLiteral("Bank")));

        // An unprotected profile never asks, and grants access by itself.
        f.accessGranted = false;
        f.choose(2);
        QCOMPARE(f.loginChecks, 2);
        QVERIFY(f.accessGranted);
        QCOMPARE(f.pictures(), kNoPicture);
    }

    void closingStoresSwitch_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::newRow("clear") << false;
        QTest::newRow("ticked") << true;
    }
    void closingStoresSwitch()
    {
        QFETCH(bool, ticked);
        Fixture f;
        f.db.setINIAutoSignIn(ticked ? QStringLiteral("0") : QStringLiteral("1"));
        f.open();
        auto *check = f.child<QCheckBox>("chkAutoSignIn");
        QCOMPARE(check->isChecked(), !ticked); // read at load
        check->setChecked(ticked);
        QVERIFY(f.window->close());
        f.window.reset();
        QSettings ini(f.db.INIFile(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("Vaultry/AutoSignIn")).toString(), QString::number(ticked));
        f.open();
        QCOMPARE(f.child<QCheckBox>("chkAutoSignIn")->isChecked(), ticked);
    }

    void startPageWithLogo_data()
    {
        QTest::addColumn<bool>("online");
        QTest::newRow("offline") << false;
        QTest::newRow("online") << true;
    }
    void startPageWithLogo()
    {
        QFETCH(bool, online);
        Fixture f;
        f.connection.connected = online;
        f.open();
        for (int i = 0; i < AccountTabs::kTabCount; ++i) {
            QCOMPARE(f.window->tabs().tab(i).bTabInUse, online && i == 0);
            QVERIFY(!f.window->tabs().tab(i).bTabSignInDone);
        }
        if (online) {
            QTRY_COMPARE_WITH_TIMEOUT(f.window->tabs().wbPage(0)->page()->requestedUrl(), QUrl(kMakerAddress), 10000);
            return;
        }
        // The start page shows the text and the logo from the program folder.
        QWebEngineView *view = f.window->tabs().wbPage(1);
        QTRY_VERIFY_WITH_TIMEOUT(!view->page()->isLoading() && view->url().scheme() == QStringLiteral("file"), 20000);
        const QString script = QStringLiteral("document.body.innerText.indexOf('TIPS!') >= 0 && "
                                              "document.images.length == 1 ? document.images[0].naturalWidth : -1");
        int width = -1;
        QTRY_VERIFY_WITH_TIMEOUT((width = TabsHarness::eval(view->page(), script).toInt()) > 0, 20000);
        QCOMPARE(width, QImage(logoPath(f.folder.path())).width());
    }

    void profilePageReallyLoads()
    {
        LoginPageServer server;
        server.setPage(QStringLiteral("/login"), "<html><head><title>Login test</title></head><body></body></html>");
        Fixture f;
        const QString url = server.url(QStringLiteral("/login"));
        f.add(QStringLiteral("Local"), false, {}, url);
        f.open();
        f.selectTab(4);
        QWebEngineView *view = f.window->tabs().wbPage(3);
        QSignalSpy finished(view, &QWebEngineView::loadFinished);
        f.choose(1);
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() && view->url() == QUrl(url), 30000);
        QVERIFY(finished.last().at(0).toBool());
        QCOMPARE(view->title(), QStringLiteral("Login test"));
        QVERIFY(server.getCount(QStringLiteral("/login")) > 0);
        QVERIFY(!f.window->tabs().wbPage(0)->url().toString().contains(QStringLiteral("/login")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_frmmain.moc"
