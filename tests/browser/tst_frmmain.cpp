#include "accounttabs.h"
#include "clsagentdb.h"
#include "connectiontest.h"
#include "frmmain.h"
#include "frmwebsiteprofile.h"
#include "recordingmessageservice.h"
#include "scriptedfiledialogservice.h"
#include "startpage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>
#include <optional>

namespace {

class FakeConnection : public ConnectionTest
{
public:
    bool connected = false;
    bool isConnected() override { return connected; }
};

// Serves one small login page for any request and remembers the paths asked for.
class PageServer : public QObject
{
public:
    PageServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QByteArray request = socket->readAll();
                    const QList<QByteArray> words = request.split(' ');
                    if (words.size() > 1)
                        paths.append(QString::fromLatin1(words[1]));
                    const QByteArray body = "<html><head><title>Login test</title></head><body>"
                                            "<input type=text name=u><input type=password name=p></body></html>";
                    socket->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                        QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    QStringList paths;

private:
    QTcpServer m_server;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        QTemporaryDir folder;
        clsAgentDB db {folder.path()};
        bool accessGranted = false;
        RecordingMessageService messages;
        ScriptedFileDialogService files;
        FakeConnection connection;
        int loginChecks = 0;
        bool loginPasses = true;
        QList<QUrl> external;

        Fixture()
        {
            QFile::copy(qEnvironmentVariable("VAULTRY_PROGRAM_DIR") + QStringLiteral("/Qorvish.bmp"),
                        folder.filePath(QStringLiteral("Qorvish.bmp")));
        }
        void add(const QString &name, const QString &url, bool tympra = false, const QString &thumb = QString())
        {
            db.AddWebsiteProfile(tympra, name, url, name + QStringLiteral("-id"), name + QStringLiteral("-pw"), thumb);
            QVERIFY(db.SaveDB());
        }
        std::unique_ptr<frmMain> window()
        {
            MainWindowServices services {db,
                                         accessGranted,
                                         messages,
                                         files,
                                         connection,
                                         [this] {
                                             ++loginChecks;
                                             if (loginPasses)
                                                 accessGranted = true;
                                         },
                                         folder.path(),
                                         [this](const QUrl &url) {
                                             external.append(url);
                                         }};
            auto w = std::make_unique<frmMain>(services);
            w->show();
            return w;
        }
    };

    template<typename T>
    static T *child(QWidget *w, const char *name)
    {
        T *found = w->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    static QComboBox *list(QWidget *w) { return child<QComboBox>(w, "cboWP"); }
    static QStringList items(QWidget *w)
    {
        QStringList texts;
        for (int i = 0; i < list(w)->count(); ++i)
            texts << list(w)->itemText(i);
        return texts;
    }
    // Chooses list position p as the user does (choosing the chosen profile again counts).
    static void choose(QWidget *w, int p)
    {
        list(w)->setCurrentIndex(p);
        emit list(w)->activated(p);
    }
    static void selectTab(QWidget *w, int k) { child<QTabBar>(w, "tbs")->setCurrentIndex(k - 1); }
    static bool picturesShown(QWidget *w)
    {
        return !child<QLabel>(w, "imgWPThumb")->isHidden() && !child<QToolButton>(w, "imgEditWP")->isHidden() &&
            !child<QToolButton>(w, "imgDeleteWP")->isHidden();
    }
    static bool picturesHidden(QWidget *w)
    {
        return child<QLabel>(w, "imgWPThumb")->isHidden() && child<QToolButton>(w, "imgEditWP")->isHidden() &&
            child<QToolButton>(w, "imgDeleteWP")->isHidden() && child<QLabel>(w, "imgWPTympra")->isHidden() &&
            child<QLabel>(w, "imgWPThumb")->pixmap().isNull();
    }
    // Answers the profile dialog once it is shown modally by the next click.
    static void answerEditor(std::function<void(frmWebsiteProfile *)> answer)
    {
        auto *timer = new QTimer;
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
            if (auto *dialog = qobject_cast<frmWebsiteProfile *>(QApplication::activeModalWidget())) {
                timer->stop();
                timer->deleteLater();
                answer(dialog);
            }
        });
        timer->start();
    }
    static void fillEditor(frmWebsiteProfile *d, const QString &name, const QString &url, const QString &id,
                           const QString &password)
    {
        d->findChild<QLineEdit *>(QStringLiteral("txtWebsiteName"))->setText(name);
        d->findChild<QLineEdit *>(QStringLiteral("txtURL"))->setText(url);
        d->findChild<QLineEdit *>(QStringLiteral("txtID"))->setText(id);
        d->findChild<QLineEdit *>(QStringLiteral("txtPassword"))->setText(password);
        d->findChild<QPushButton *>(QStringLiteral("cmdConfirm"))->click();
    }
    // Runs a script in the page and waits for its result.
    static QVariant evaluate(QWebEngineView *view, const QString &script)
    {
        // Shared, so that a late answer after a timeout writes nowhere harmful.
        auto result = std::make_shared<std::optional<QVariant>>();
        view->page()->runJavaScript(script, [result](const QVariant &v) { *result = v; });
        if (!QTest::qWaitFor([&] { return result->has_value(); }, 5000))
            return {};
        return **result;
    }
    static void checkTab(const TabState &tab, bool inUse, const QString &url, const QString &id, const QString &pw)
    {
        QCOMPARE(tab.bTabInUse, inUse);
        QCOMPARE(tab.sTabURL, url);
        QCOMPARE(tab.sTabID, id);
        QCOMPARE(tab.sTabPassword, pw);
    }

private slots:
    // The drawn pictures come from the program's resources; a missing registration leaves them blank.
    void picturesLoaded()
    {
        Fixture f;
        auto w = f.window();
        for (const char *name : {"imgEditWP", "imgDeleteWP", "cmdBack", "cmdForward", "cmdRefresh", "cmdStop"})
            QVERIFY2(!child<QToolButton>(w.get(), name)->icon().isNull(), name);
        for (const char *name : {"imgWPTympra", "imgSideBar", "imgLeftCorner", "imgRightCorner"})
            QVERIFY2(!child<QLabel>(w.get(), name)->pixmap().isNull(), name);
    }

    void emptyStoreThenFirstProfile()
    {
        Fixture f;
        auto w = f.window();
        QCOMPARE(items(w.get()), QStringList {QStringLiteral("No website profile is available")});
        QCOMPARE(list(w.get())->currentIndex(), 0);
        QVERIFY(picturesHidden(w.get()));

        selectTab(w.get(), 2);
        answerEditor([](frmWebsiteProfile *d) {
            fillEditor(d, QStringLiteral("Mail"), QStringLiteral("http://mail.test/"), QStringLiteral("me"),
                       QStringLiteral("pw"));
        });
        child<QPushButton>(w.get(), "cmdNewWP")->click();
        QCOMPARE(items(w.get()), (QStringList {QStringLiteral("Select a website profile"), QStringLiteral("Mail")}));
        QCOMPARE(list(w.get())->currentIndex(), 1);
        QVERIFY(picturesShown(w.get()));
        QVERIFY(child<QLabel>(w.get(), "imgWPTympra")->isHidden());
        QVERIFY(child<QLabel>(w.get(), "imgWPThumb")->pixmap().isNull()); // no picture chosen
        checkTab(w->tabs().tab(1), true, QStringLiteral("http://mail.test/"), QStringLiteral("me"),
                 QStringLiteral("pw"));
        checkTab(w->tabs().tab(0), false, QString(), QString(), QString());
        QCOMPARE(f.loginChecks, 0);
    }

    void abortedNewProfileChangesNothing()
    {
        Fixture f;
        f.add(QStringLiteral("Mail"), QStringLiteral("http://mail.test/"));
        auto w = f.window();
        answerEditor([](frmWebsiteProfile *d) { d->findChild<QPushButton *>(QStringLiteral("cmdAbort"))->click(); });
        child<QPushButton>(w.get(), "cmdNewWP")->click();
        QCOMPARE(items(w.get()), (QStringList {QStringLiteral("Select a website profile"), QStringLiteral("Mail")}));
        QCOMPARE(list(w.get())->currentIndex(), 0);
        QVERIFY(!w->tabs().tab(0).bTabInUse);
    }

    void choosingCopiesIntoCurrentTabOnly()
    {
        Fixture f;
        f.add(QStringLiteral("A"), QStringLiteral("http://a.test/"));
        f.add(QStringLiteral("B"), QStringLiteral("http://b.test/"));
        auto w = f.window();
        QCOMPARE(items(w.get()),
                 (QStringList {QStringLiteral("Select a website profile"), QStringLiteral("A"), QStringLiteral("B")}));
        selectTab(w.get(), 3);
        choose(w.get(), 1);
        checkTab(w->tabs().tab(2), true, QStringLiteral("http://a.test/"), QStringLiteral("A-id"),
                 QStringLiteral("A-pw"));
        for (int t : {0, 1, 3, 4})
            checkTab(w->tabs().tab(t), false, QString(), QString(), QString());

        // The same profile in a second tab: its own copy; another profile there overwrites only that tab.
        selectTab(w.get(), 5);
        choose(w.get(), 1);
        checkTab(w->tabs().tab(4), true, QStringLiteral("http://a.test/"), QStringLiteral("A-id"),
                 QStringLiteral("A-pw"));
        w->tabs().tab(4).bTabSignInDone = true;
        choose(w.get(), 2);
        checkTab(w->tabs().tab(4), true, QStringLiteral("http://b.test/"), QStringLiteral("B-id"),
                 QStringLiteral("B-pw"));
        QVERIFY(!w->tabs().tab(4).bTabSignInDone); // re-armed
        checkTab(w->tabs().tab(2), true, QStringLiteral("http://a.test/"), QStringLiteral("A-id"),
                 QStringLiteral("A-pw"));

        // Back to the placeholder: pictures go, tabs stay.
        choose(w.get(), 0);
        QVERIFY(picturesHidden(w.get()));
        checkTab(w->tabs().tab(4), true, QStringLiteral("http://b.test/"), QStringLiteral("B-id"),
                 QStringLiteral("B-pw"));
    }

    void editingDoesNotChangeTabUntilChosenAgain()
    {
        Fixture f;
        f.add(QStringLiteral("A"), QStringLiteral("http://a.test/"));
        auto w = f.window();
        choose(w.get(), 1);
        answerEditor([](frmWebsiteProfile *d) {
            fillEditor(d, QStringLiteral("A2"), QStringLiteral("http://a2.test/"), QStringLiteral("id2"),
                       QStringLiteral("pw2"));
        });
        child<QToolButton>(w.get(), "imgEditWP")->click();
        QCOMPARE(f.db.WPURL(0), QStringLiteral("http://a2.test/"));
        QCOMPARE(list(w.get())->itemText(1), QStringLiteral("A2"));
        QCOMPARE(list(w.get())->currentIndex(), 1);
        checkTab(w->tabs().tab(0), true, QStringLiteral("http://a.test/"), QStringLiteral("A-id"),
                 QStringLiteral("A-pw"));
        choose(w.get(), 1);
        checkTab(w->tabs().tab(0), true, QStringLiteral("http://a2.test/"), QStringLiteral("id2"),
                 QStringLiteral("pw2"));
    }

    void thumbnailShownOrLeftEmpty()
    {
        Fixture f;
        QDir(f.folder.path()).mkpath(QStringLiteral("thumbs"));
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(f.db.ThumbsFolder() + QStringLiteral("a.bmp")));
        f.add(QStringLiteral("A"), QStringLiteral("http://a.test/"), false, QStringLiteral("a.bmp"));
        f.add(QStringLiteral("B"), QStringLiteral("http://b.test/"), false, QStringLiteral("missing.bmp"));
        auto w = f.window();
        choose(w.get(), 1);
        QVERIFY(!child<QLabel>(w.get(), "imgWPThumb")->pixmap().isNull());
        choose(w.get(), 2);
        QVERIFY(child<QLabel>(w.get(), "imgWPThumb")->pixmap().isNull());
        QVERIFY(picturesShown(w.get()));
        QVERIFY(f.messages.messages.isEmpty());
    }

    void deleting_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void deleting()
    {
        QFETCH(bool, yes);
        Fixture f;
        f.add(QStringLiteral("A"), QStringLiteral("http://a.test/"));
        auto w = f.window();
        choose(w.get(), 1);
        f.messages.nextAnswers.enqueue(yes ? MessageAnswer::Yes : MessageAnswer::No);
        child<QToolButton>(w.get(), "imgDeleteWP")->click();
        QCOMPARE(f.messages.messages.size(), 1);
        QCOMPARE(f.messages.messages[0].text, QStringLiteral("Delete this website profile?"));
        QCOMPARE(f.messages.messages[0].title, QStringLiteral("Vaultry"));
        QCOMPARE(f.messages.messages[0].icon, MessageIcon::Question);
        QCOMPARE(f.messages.messages[0].buttons, MessageButtons::YesNo);
        // The tab keeps its page either way.
        checkTab(w->tabs().tab(0), true, QStringLiteral("http://a.test/"), QStringLiteral("A-id"),
                 QStringLiteral("A-pw"));
        clsAgentDB reread(f.folder.path());
        QVERIFY(reread.OpenDB());
        if (yes) {
            QCOMPARE(items(w.get()), QStringList {QStringLiteral("No website profile is available")});
            QCOMPARE(list(w.get())->currentIndex(), 0);
            QVERIFY(picturesHidden(w.get()));
            QCOMPARE(f.db.WebsiteProfileCount(), 0);
            QCOMPARE(reread.WebsiteProfileCount(), 0);
        } else {
            QCOMPARE(list(w.get())->currentIndex(), 1);
            QVERIFY(picturesShown(w.get()));
            QCOMPARE(reread.WebsiteProfileCount(), 1);
        }
    }

    void deletingMiddleProfileKeepsOthersInOrder()
    {
        Fixture f;
        for (const char *name : {"A", "B", "C"})
            f.add(QLatin1String(name), QStringLiteral("http://%1.test/").arg(QLatin1String(name)));
        auto w = f.window();
        choose(w.get(), 2);
        const int checksBefore = f.loginChecks;
        f.messages.nextAnswers.enqueue(MessageAnswer::Yes);
        child<QToolButton>(w.get(), "imgDeleteWP")->click();
        QCOMPARE(items(w.get()),
                 (QStringList {QStringLiteral("Select a website profile"), QStringLiteral("A"), QStringLiteral("C")}));
        QCOMPARE(list(w.get())->currentIndex(), 0);
        QCOMPARE(f.db.WPName(1), QStringLiteral("C"));
        QCOMPARE(f.loginChecks, checksBefore);
        // Deleting chose no other profile: the tab still holds B.
        QCOMPARE(w->tabs().tab(0).sTabURL, QStringLiteral("http://B.test/"));
    }

    // A failed save after deleting is reported and the profile stays, with its thumbnail.
    void failedSaveAfterDeletingKeepsProfile()
    {
        Fixture f;
        QDir(f.folder.path()).mkpath(QStringLiteral("thumbs"));
        QFile thumb(f.db.ThumbsFolder() + QStringLiteral("a.bmp"));
        QVERIFY(thumb.open(QIODevice::WriteOnly));
        thumb.write("picture bytes");
        thumb.close();
        f.add(QStringLiteral("A"), QStringLiteral("http://a.test/"), false, QStringLiteral("a.bmp"));
        auto w = f.window();
        choose(w.get(), 1);
        QVERIFY(QFile::remove(f.db.DBFile()));
        QDir(f.folder.path()).mkpath(QStringLiteral("vy.bdb/keep"));
        f.messages.nextAnswers.enqueue(MessageAnswer::Yes);
        child<QToolButton>(w.get(), "imgDeleteWP")->click();
        QCOMPARE(f.messages.messages.size(), 2);
        QCOMPARE(f.messages.lastText(), QStringLiteral("Failed to update database.\r\nPlease try again."));
        QCOMPARE(f.messages.messages.last().icon, MessageIcon::Critical);
        QCOMPARE(f.db.WebsiteProfileCount(), 1);
        QCOMPARE(f.db.WPName(0), QStringLiteral("A"));
        QCOMPARE(items(w.get()), (QStringList {QStringLiteral("Select a website profile"), QStringLiteral("A")}));
        QCOMPARE(list(w.get())->currentIndex(), 1);
        QVERIFY(picturesShown(w.get()));
        QFile kept(f.db.WPThumbName(0));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("picture bytes"));
    }

    void protectedProfileChecksEveryTime()
    {
        Fixture f;
        f.add(QStringLiteral("Bank"), QStringLiteral("http://bank.test/"), true);
        f.add(QStringLiteral("Mail"), QStringLiteral("http://mail.test/"));
        auto w = f.window();
        selectTab(w.get(), 2);

        // A failed check leaves the tab untouched and the profile chosen, with its pictures.
        f.loginPasses = false;
        choose(w.get(), 1);
        QCOMPARE(f.loginChecks, 1);
        QVERIFY(!f.accessGranted);
        checkTab(w->tabs().tab(1), false, QString(), QString(), QString());
        QCOMPARE(list(w.get())->currentIndex(), 1);
        QVERIFY(picturesShown(w.get()));
        QVERIFY(!child<QLabel>(w.get(), "imgWPTympra")->isHidden());

        // Editing after the failed check asks for no further check.
        answerEditor([](frmWebsiteProfile *d) { d->findChild<QPushButton *>(QStringLiteral("cmdAbort"))->click(); });
        child<QToolButton>(w.get(), "imgEditWP")->click();
        QCOMPARE(f.loginChecks, 1);

        // Choosing it again repeats the check; this time it passes.
        f.loginPasses = true;
        choose(w.get(), 1);
        QCOMPARE(f.loginChecks, 2);
        checkTab(w->tabs().tab(1), true, QStringLiteral("http://bank.test/"), QStringLiteral("Bank-id"),
                 QStringLiteral("Bank-pw"));

        // An unprotected profile never asks, and grants access by itself.
        f.accessGranted = false;
        choose(w.get(), 2);
        QCOMPARE(f.loginChecks, 2);
        QVERIFY(f.accessGranted);
        QVERIFY(child<QLabel>(w.get(), "imgWPTympra")->isHidden());
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
        {
            auto w = f.window();
            auto *check = child<QCheckBox>(w.get(), "chkAutoSignIn");
            QCOMPARE(check->isChecked(), !ticked); // read at load
            check->setChecked(ticked);
            QVERIFY(w->close());
        }
        QSettings ini(f.db.INIFile(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("Vaultry/AutoSignIn")).toString(),
                 ticked ? QStringLiteral("1") : QStringLiteral("0"));
        auto next = f.window();
        QCOMPARE(child<QCheckBox>(next.get(), "chkAutoSignIn")->isChecked(), ticked);
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
        auto w = f.window();
        for (int i = 0; i < AccountTabs::kTabCount; ++i) {
            QCOMPARE(w->tabs().tab(i).bTabInUse, online && i == 0);
            QVERIFY(!w->tabs().tab(i).bTabSignInDone);
        }
        if (online) {
            QTRY_COMPARE_WITH_TIMEOUT(w->tabs().wbPage(0)->page()->requestedUrl(), QUrl(kMakerAddress), 10000);
            return;
        }
        // The start page shows the text and the logo from the program folder.
        QWebEngineView *view = w->tabs().wbPage(1);
        QTRY_VERIFY_WITH_TIMEOUT(!view->page()->isLoading() && view->url().scheme() == QStringLiteral("file"), 20000);
        const QString script = QStringLiteral("document.body.innerText.indexOf('TIPS!') >= 0 && "
                                              "document.images.length == 1 ? document.images[0].naturalWidth : -1");
        int width = -1;
        QTRY_VERIFY_WITH_TIMEOUT((width = evaluate(view, script).toInt()) > 0, 20000);
        QCOMPARE(width, QImage(logoPath(f.folder.path())).width());
    }

    void profilePageReallyLoads()
    {
        PageServer server;
        Fixture f;
        const QString url = server.url(QStringLiteral("/login"));
        f.add(QStringLiteral("Local"), url);
        auto w = f.window();
        selectTab(w.get(), 4);
        QWebEngineView *view = w->tabs().wbPage(3);
        QSignalSpy finished(view, &QWebEngineView::loadFinished);
        choose(w.get(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() && view->url() == QUrl(url), 30000);
        QVERIFY(finished.last().at(0).toBool());
        QCOMPARE(view->title(), QStringLiteral("Login test"));
        QVERIFY(server.paths.contains(QStringLiteral("/login")));
        QVERIFY(!w->tabs().wbPage(0)->url().toString().contains(QStringLiteral("/login")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_frmmain.moc"
