// The main window with its account tabs, in real browsers on pages served by a local HTTP server. The tab cases
// share one window, each opening its own page, so that the web engine starts its renderers once.
#include "exportfile.h"
#include "idlewatch.h"
#include "keyclock.h"
#include "mainwindowharness.h"
#include "pageserver.h"
#include "passwordhealth.h"
#include "passwordhealthdialog.h"
#include "profiledialog.h"
#include "profilelist.h"
#include "secretclipboard.h"
#include "settingsdialog.h"
#include "signindialog.h"

#include <QtTest>
#include <QtWidgets>

namespace {
const QString kEmpty = QStringLiteral("No website profile is available"),
              kSelect = QStringLiteral("Select a website profile");

// A window of its own over profiles named a, b, c ...
struct Window : MainWindowHarness
{
    void add(int count, bool tympra = false)
    {
        for (const QString &n : QStringList {"a", "b", "c"}.first(count))
            QVERIFY(store.add({n, "http://" + n + ".test/", n + "-id", n + "-pw", "a.bmp", tympra && n == "a"}));
        QImage picture(30, 20, QImage::Format_RGB32);
        QVERIFY(QDir(folder.path()).mkpath("thumbs") && picture.save(store.thumbsFolder() + "a.bmp"));
    }
    // The list, then the login name each tab holds ("-" for one not in use), then the chosen profile's pictures.
    QString shows() const
    {
        QStringList shown;
        for (int i = 0; i < child<QComboBox>("cboWP")->count(); ++i)
            shown << child<QComboBox>("cboWP")->itemText(i);
        shown << "|";
        for (int i = 0; i < AccountTabs::kTabCount; ++i)
            shown << (tabs().tab(i).bTabInUse ? tabs().tab(i).sTabID : "-");
        shown << "|";
        for (const char *name : {"imgWPThumb", "imgEditWP", "imgDeleteWP", "imgWPTympra"})
            if (!child(name)->isHidden())
                shown << name;
        return shown.join(' ');
    }
    // Clicks a button that opens the profile dialog, then fills and confirms it; no name cancels it.
    void edit(const char *button, const QString &name = {})
    {
        QTimer::singleShot(0, [name] {
            auto *d = qobject_cast<ProfileDialog *>(QApplication::activeModalWidget());
            const QStringList texts {name, "http://" + name + ".test/", name + "-id", name + "-pw"};
            for (int k = 0; k < 4 && !name.isEmpty(); ++k)
                d->findChild<QLineEdit *>(QStringList {"txtWebsiteName", "txtURL", "txtID", "txtPassword"}[k])
                    ->setText(texts[k]);
            d->findChild<QPushButton *>(name.isEmpty() ? "cmdAbort" : "cmdConfirm")->click();
        });
        QTest::mouseClick(child(button), Qt::LeftButton);
    }
};
const QString kChosen = QStringLiteral("imgWPThumb imgEditWP imgDeleteWP");
} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT
    PageServer m_site;
    MainWindowHarness h;
    QString url(const QString &path) const { return path.startsWith('/') ? m_site.url(path) : path; }
    // Opens a profile in the current tab with the switch as given, and waits until the page has loaded.
    bool open(const QString &address, const QString &id, const QString &pw, bool ticked)
    {
        h.child<QCheckBox>("chkAutoSignIn")->setChecked(ticked);
        h.tabs().openProfile(url(address), id, pw);
        return h.loaded(h.tabs().currentTabIndex(), url(address));
    }

private slots:
    void initTestCase()
    {
        m_site.setPage("/noisy", PageServer::file("noisy.html"));
        for (const QString name : {"a", "b"})
            m_site.setPage('/' + name, "<title>" + name.toUtf8() + "</title>");
        m_site.setPage("/slow", "<title>slow</title>", 2500);
        m_site.setPage("/session", PageServer::file("login.html").replace("/signin", "/session-start"));
        m_site.setPage("POST /session-start", "<title>Signed in</title>", 0, "Set-Cookie: sid=%user%; Path=/\r\n");
        h.open();
    }
    void init()
    {
        m_site.requests.clear();
        h.messages.messages.clear();
        h.finished.clear();
        h.selectTab(1);
    }

    // Address, title, status and progress show the current tab's page only; the buttons act on it alone.
    void tabsKeepTheirOwnPages()
    {
        auto shows = [&] {
            return QStringList {h.child<QLineEdit>("txtURL")->text(), h.child<QLineEdit>("txtPageTitle")->text(),
                                h.child<QLabel>("statusPanel2")->text(),
                                h.child<QProgressBar>("pgrLoad")->isVisible() ? "bar" : ""}
                .join('|');
        };
        for (const char *path : {"/a", "/b"}) {
            h.tabs().navigate(0, QUrl(url(path)));
            QVERIFY(h.loaded(0, url(path)));
        }
        QCOMPARE(shows(), url("/b") + "|b|Complete|");
        h.selectTab(3);
        QCOMPARE(shows(), "|||");
        // A page loading in the background changes nothing the window shows but its own tab's tool tip.
        h.tabs().navigate(1, QUrl(url("/slow")));
        QSignalSpy progress(h.page(1), &QWebEnginePage::loadProgress);
        QVERIFY(progress.wait(5000));
        QCOMPARE(shows(), "|||");
        QVERIFY(h.loaded(1, url("/slow")));
        QCOMPARE(shows() + h.child<QTabBar>("tbs")->tabToolTip(1), "|||slow");
        h.tabs().navigate(1, QUrl(url("/slow"))); // in the background: only its tab's tool tip follows
        h.tabs().navigate(2, QUrl(url("/slow")));
        QSignalSpy stopped(h.page(2), &QWebEnginePage::loadFinished);
        QTRY_COMPARE(shows(), "||Loading|bar");
        h.tabs().stop();
        QVERIFY(stopped.wait(2000) && !stopped.first().first().toBool());
        QVERIFY(h.loaded(1, url("/slow")));
        QCOMPARE(shows().section('|', 2), "Complete|");
        h.selectTab(1);
        QCOMPARE(shows(), url("/b") + "|b||");
        h.tabs().goBack();
        QVERIFY(h.loaded(0, url("/a")));
        QCOMPARE(h.page(1)->url(), QUrl(url("/slow")));
    }

    // Ctrl+W closes the current tab's page: the tab shows the start page again, and the page's renderer ends.
    void closingAPageEndsItsRenderer()
    {
        h.selectTab(4);
        h.tabs().openProfile(url("/a"), "ann", "pw");
        QVERIFY(h.loaded(3, url("/a")));
        const qint64 renderer = h.page(3)->renderProcessPid();
        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QTest::keyClick(h.window.get(), Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!h.tabs().wbPage(3) && !h.tabs().tab(3).bTabInUse && h.tabs().startPageView()->isVisible());
        QVERIFY(renderer > 0 && runUntil([&] { return !QFileInfo::exists(QString("/proc/%1").arg(renderer)); }, 9000));
    }

    // A page's own dialogs never show. A page that wants a window of its own asks; Yes hands it to the desktop's
    // browser, and nothing opens inside.
    void pagesShowNoDialogs_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("allow");
        QTest::newRow("current tab, Yes") << 0 << true;
        QTest::newRow("background tab, No") << 3 << false;
    }
    void pagesShowNoDialogs()
    {
        QFETCH(int, tab);
        QFETCH(bool, allow);
        QTimer watch; // a dialog that opens is noted and closed, so that a failure does not hang the test
        QStringList dialogs;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (QWidget *modal = QApplication::activeModalWidget())
                (dialogs << modal->windowTitle()), modal->close();
        });
        watch.start(50);
        h.external.clear();
        h.messages.nextAnswers << (allow ? MessageAnswer::Yes : MessageAnswer::No);
        h.tabs().navigate(tab, QUrl(url("/noisy"))); // alerts, confirms, prompts, then opens a window
        QTRY_COMPARE_WITH_TIMEOUT(h.messages.messages.size(), 1, 10000);
        QTest::qWait(300);
        QVERIFY(dialogs.isEmpty() && h.page(tab)->title() == "Quiet");
        QCOMPARE(h.external, allow ? QList<QUrl> {QUrl(url("/b"))} : QList<QUrl>());
        for (const PageServer::Request &r : m_site.requests)
            QVERIFY(r.path != "/b"); // nothing opened it inside
    }

    // The list starts with its placeholder; choosing copies the profile into the current tab only; an edit reaches a
    // tab when the profile is chosen again; a protected profile asks for the sign-in check at every choice.
    void profileList()
    {
        Window w;
        w.open();
        QVERIFY(!w.child<QToolButton>("imgEditWP")->icon().isNull()); // the drawn pictures are registered
        QCOMPARE(w.shows(), kEmpty + " | - - - - - |");
        w.selectTab(2);
        w.edit("cmdNewWP", "a");
        w.edit("cmdNewWP"); // cancelled
        w.edit("cmdNewWP", "b");
        QCOMPARE(w.shows(), kSelect + " a b | - b-id - - - | " + kChosen);
        const auto health = [](Window &w, const QString &caption) {
            return runUntil([&] { return w.child<QPushButton>("cmdHealth")->text() == caption; }, 5000);
        };
        QVERIFY(health(w, "Password health (2)")); // a-pw and b-pw
        w.selectTab(5);
        w.choose(1);
        w.edit("imgEditWP", "c");
        QCOMPARE(w.shows(), kSelect + " c b | - b-id - - a-id | " + kChosen);
        w.choose(1);
        w.choose(0);
        QCOMPARE(w.shows(), kSelect + " c b | - b-id - - c-id |");

        Window p;
        p.add(2, true);
        p.open();
        QVERIFY(health(p, "Password health (1)")); // a's is not counted before its check
        p.loginPasses = false;
        p.choose(1);
        QCOMPARE(p.shows(), kSelect + " a b | - - - - - | " + kChosen + " imgWPTympra");
        p.loginPasses = true;
        p.choose(1);
        p.selectTab(2);
        p.choose(2);
        QCOMPARE(p.shows(), kSelect + " a b | a-id b-id - - - | " + kChosen);
        QCOMPARE(p.loginChecks, 2);
    }

    // vy.bdb replaced by another machine's copy (renamed into place) while the window is open: the list follows, the
    // chosen profile stays chosen, the status bar says what came. A Dropbox conflict copy is merged and moved.
    void walletChangedOnDisk()
    {
        Window w;
        w.add(2);
        w.open();
        w.choose(2);
        QTemporaryDir elsewhere;
        ProfileStore other(elsewhere.path());
        const QString copy = w.folder.filePath("vy (Laptop's conflicted copy 2024-01-01).bdb");
        QVERIFY(QFile::copy(w.store.walletPath(), other.walletPath()) && other.open());
        QVERIFY(other.replace(1, {"b", "http://b.test/", "b-id", "b-new", "a.bmp", false})); // open in tab "1"
        for (const QString n : {"c", "d"}) {
            QVERIFY(other.add({n, "http://" + n + ".test/", n + "-id", n + "-pw", "", false}));
            QVERIFY(QFile::copy(other.walletPath(), elsewhere.filePath(n)));
            QVERIFY(
                !std::rename(qPrintable(elsewhere.filePath(n)), qPrintable(n == "c" ? w.store.walletPath() : copy)));
            QVERIFY(
                runUntil([&] { return w.shows().startsWith(kSelect + " a b c " + (n == "c" ? "|" : "d |")); }, 9000));
            QCOMPARE(w.child<QLabel>("statusPanel1")->text(),
                     QString("vy.bdb changed on disk: 1 profiles added, %1 changed").arg(n == "c"));
            QCOMPARE(w.child<QComboBox>("cboWP")->currentText() + w.tabs().tab(0).sTabPassword, "bb-new");
        }
        QVERIFY(w.messages.lastText().contains("conflicts-merged: vy (Laptop") && !QFile::exists(copy));
    }

    // Copy: the login name, and the password marked secret, a protected one's only after the rhythm check. Find:
    // typing into the list narrows it by name or address; Enter opens the first match; Esc brings all back.
    void copyAndFind()
    {
        Window w;
        w.add(3, true);
        QSettings(w.settings.path(), QSettings::IniFormat).setValue("Vaultry/ClipboardSeconds", 3);
        w.open().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        QClipboard *clipboard = QGuiApplication::clipboard();
        w.choose(2);
        QTest::keyClick(w.window.get(), Qt::Key_U, Qt::AltModifier);
        QCOMPARE(clipboard->text(), "b-id");
        QTest::keyClick(w.window.get(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(clipboard->text() + clipboard->mimeData()->data("x-kde-passwordManagerHint"), "b-pwsecret");
        QVERIFY(w.child<QLabel>("statusPanel1")->text().contains(" 3 seconds"));
        w.loginPasses = false;
        w.choose(1);
        QTest::mouseClick(w.child("imgCopyPasswordWP"), Qt::LeftButton);
        QVERIFY(clipboard->text() == "b-pw" && w.loginChecks == 2);

        QTest::keyClicks(w.child("cboWP"), "B.T");
        QCOMPARE(w.shows(), kSelect + " b | b-id - - - - |");
        w.selectTab(2);
        QTest::keyClick(w.child("txtFindWP"), Qt::Key_Return);
        QTest::keyClick(w.child("txtFindWP"), Qt::Key_Escape);
        QCOMPARE(w.shows(), kSelect + " a b c | b-id b-id - - - | " + kChosen);
    }

    // A copied password goes when its time is up and when the program ends, but only while it is still there.
    void clipboardClears()
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        QList<std::function<void()>> due;
        auto secrets =
            std::make_unique<SecretClipboard>(clipboard, [&](int, std::function<void()> done) { due << done; });
        secrets->copySecret("pw1", 10);
        secrets->copySecret("pw2", 10);
        due.takeFirst()(); // the first copy's time: the second has its own
        QCOMPARE(clipboard->text(), "pw2");
        due.takeFirst()();
        QCOMPARE(clipboard->text(), "");
        secrets->copySecret("pw3", 10);
        clipboard->setText("the user's own");
        due.takeFirst()();
        QCOMPARE(clipboard->text(), "the user's own");
        secrets->copySecret("pw4", 10);
        secrets.reset();
        QCOMPARE(clipboard->text(), "");
    }

    // The list of 10,000 profiles under a find text: the placeholder, then each match by name or address, ignoring
    // case, in store order; no text lists every one.
    void findAmongMany()
    {
        QList<WebsiteProfile> profiles;
        for (int i = 0; i < 10000; ++i)
            profiles.append({QString("Site %1").arg(i), QString("https://site%1.example/").arg(i), "", "", "", false});
        ProfileListModel list;
        list.setProfiles(profiles);
        for (const auto &[text, shown] : {std::pair {"", 10000}, {"SITE 12", 111}, {"Site12.Example", 1}}) {
            list.setFilter(text);
            QCOMPARE(list.rowCount() - 1, shown); // "SITE 12": 12, 120-129, 1200-1299
            QCOMPARE(list.profileAt(0), -1);
            for (int row = 1, previous = -1; row <= shown; previous = list.profileAt(row++)) {
                const WebsiteProfile &p = profiles.at(list.profileAt(row));
                QVERIFY(list.profileAt(row) > previous && list.rowOf(list.profileAt(row)) == row);
                QVERIFY((p.name + ' ' + p.url).contains(text, Qt::CaseInsensitive));
            }
        }
    }

    // Every control the keyboard reaches in the three windows has a name for screen readers (inside a browser the
    // page's own document gives the names).
    void accessibleNames_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *name :
             {"SignInDialog", "MainWindow", "ProfileDialog", "SettingsDialog", "PasswordHealthDialog"})
            QTest::newRow(name) << name;
    }
    void accessibleNames()
    {
        QFETCH(QString, window);
        Window w;
        w.add(1);
        const EventKeyClock clock;
        PasswordHealth health;
        std::unique_ptr<QWidget> dialog;
        if (window == "SignInDialog")
            dialog = std::make_unique<SignInDialog>(SignInDialog::Mode::Login, w.store, w.messages, QString(), clock);
        else if (window == "ProfileDialog")
            dialog = std::make_unique<ProfileDialog>(w.store, -1, w.messages, w.files);
        else if (window == "SettingsDialog")
            dialog = std::make_unique<SettingsDialog>(SettingsWindowServices {w.settings, w.messages});
        else if (window == "PasswordHealthDialog")
            dialog = std::make_unique<PasswordHealthDialog>(w.services(), health);
        else
            w.open(), w.choose(1);
        QWidget *top = dialog ? dialog.get() : w.window.get();
        top->show();
        QStringList nameless;
        for (QWidget *c : top->findChildren<QWidget *>())
            if (c->isVisibleTo(top) && (c->focusPolicy() & Qt::TabFocus) && // a page speaks for itself
                !qobject_cast<QWebEngineView *>(c->parentWidget()) &&
                QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name).isEmpty())
                nameless << c->metaObject()->className() + ('/' + c->objectName());
        QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(' ')));
    }

    // Deleting asks first; a failed save is reported and the profile stays, with the thumbnail it shares.
    void deleting_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("saves");
        QTest::addColumn<QString>("shows");
        QTest::newRow("the only one") << 1 << true << true << kEmpty + " | a-id - - - - |";
        QTest::newRow("answered No") << 1 << false << true << kSelect + " a | a-id - - - - | " + kChosen;
        QTest::newRow("the last of three") << 3 << true << true << kSelect + " a b | c-id - - - - |";
        QTest::newRow("save fails") << 2 << true << false << kSelect + " a b | b-id - - - - | " + kChosen;
    }
    void deleting()
    {
        QFETCH(int, count);
        QFETCH(bool, yes);
        QFETCH(bool, saves);
        QFETCH(QString, shows);
        Window w;
        w.add(count);
        w.open();
        w.choose(count);
        if (!saves)
            QVERIFY(QFile::remove(w.store.walletPath()) && QDir(w.folder.path()).mkpath("vy.bdb/keep"));
        w.messages.nextAnswers << (yes ? MessageAnswer::Yes : MessageAnswer::No);
        QTest::mouseClick(w.child("imgDeleteWP"), Qt::LeftButton);
        QCOMPARE(w.shows(), shows);
        // A failed save says why below the described message.
        QCOMPARE(w.messages.lastText().section(w.store.walletPath() + " cannot be written: ", 0, 0),
                 saves ? "Delete this website profile?" : "Failed to update database.\r\nPlease try again.\r\n");
        QCOMPARE(QFile::exists(w.store.thumbsFolder() + "a.bmp"), count > 1 || !yes);
        QCOMPARE(w.store.profiles().size(), count - (yes && saves)); // memory agrees with the file
        ProfileStore stored(w.folder.path());
        QCOMPARE(stored.open() ? stored.profiles().size() : -1, saves ? count - yes : -1);
    }

    // Import: a refused file and Cancel store nothing; Import adds what the preview shows, to the list and the file.
    // Export: the rhythm check for a protected profile, the warning, then the file.
    void importAndExport()
    {
        Window w;
        w.add(1, true);
        w.open();
        const QString in = QFINDTESTDATA("../data/transfer/chromium-lf.csv"), out = w.folder.filePath("out.csv");
        w.files.nextPaths << w.store.walletPath(); // enciphered, so no text
        QTest::mouseClick(w.child("cmdImportWP"), Qt::LeftButton);
        QVERIFY(w.messages.lastText().startsWith("\"vy.bdb\" cannot be imported, nothing was stored."));
        for (const char *button : {"cmdCancel", "cmdImport"}) {
            w.files.nextPaths << in;
            QTimer::singleShot(
                0, [button] { QApplication::activeModalWidget()->findChild<QPushButton *>(button)->click(); });
            QTest::mouseClick(w.child("cmdImportWP"), Qt::LeftButton);
            QCOMPARE(w.store.profiles().size(), button[3] == 'C' ? 1 : 2);
        }
        QCOMPARE(w.shows(), kSelect + " a A | - - - - - |");
        QCOMPARE(w.messages.lastText(), "1 website profile imported.");
        ProfileStore stored(w.folder.path());
        QVERIFY(stored.open() && stored.profiles().size() == 2);

        w.loginPasses = false;
        w.messages.nextAnswers << MessageAnswer::Yes;
        w.files.nextPaths << out;
        QTest::mouseClick(w.child("cmdExportWP"), Qt::LeftButton);
        QVERIFY(!QFile::exists(out) && w.loginChecks == 1);
        w.loginPasses = true;
        QTest::mouseClick(w.child("cmdExportWP"), Qt::LeftButton);
        QVERIFY(
            w.messages.messages.at(w.messages.messages.size() - 2).text.startsWith("The exported file holds every"));
        QFile exported(out);
        QVERIFY(exported.open(QIODevice::ReadOnly) && exported.readAll() == exportText(stored.profiles()));
    }

    // Every tab not in use shows the start page, with the logo from the program folder. With HomePage set and a
    // connection, tab "1" opens that page at start; offline, or with none, it stays on the start page. Closing stores
    // the switch. The wallet locks after LockMinutes without input: 5 when the key is missing, 0 never.
    void startPageAndSwitch()
    {
        Window w;
        w.settings.setAutoSignIn(true);
        w.connected = true;
        w.open();
        QTextBrowser *start = w.tabs().startPageView(); // the logo of the described name, beside the program
        const QVariant logo = start->document()->resource(QTextDocument::ImageResource,
                                                          QUrl::fromLocalFile(w.folder.filePath("Qorvish.bmp")));
        QCOMPARE(logo.value<QImage>().size(), QImage(w.folder.filePath("Qorvish.bmp")).size());
        QVERIFY(start->toPlainText().startsWith("TIPS!") && start->isVisible() && !w.tabs().wbPage(0));
        QVERIFY(w.window->findChild<IdleWatch *>()->interval() == std::chrono::minutes(5));
        w.child<QCheckBox>("chkAutoSignIn")->setChecked(false);
        QSettings(w.settings.path(), QSettings::IniFormat).setValue("Vaultry/HomePage", url("/a"));
        QSettings(w.settings.path(), QSettings::IniFormat).setValue("Vaultry/LockMinutes", 0);
        w.connected = false;
        w.open();
        QVERIFY(!w.child<QCheckBox>("chkAutoSignIn")->isChecked());
        QVERIFY(!w.tabs().wbPage(0) && !w.tabs().tab(0).bTabInUse);
        QVERIFY(w.window->findChild<IdleWatch *>()->interval() == std::chrono::milliseconds(0));
        w.connected = true;
        w.open();
        QVERIFY(w.loaded(0, url("/a")) && w.tabs().tab(0).bTabInUse && w.loginChecks == 0);
    }

    // Each tab browses in a session of its own: two accounts of one site stay themselves in two tabs, a profile opened
    // in a tab continues that tab's session, and a new window starts without any.
    void eachTabHasItsOwnSession()
    {
        auto cookie = [&](MainWindowHarness &w, int tab) { // what the site receives from the tab
            w.tabs().navigate(tab, QUrl(url("/a")));
            return w.loaded(tab, url("/a")) ? m_site.requests.last().cookie : "<none>";
        };
        for (const char *user : {"ann", "bob"}) {
            h.selectTab(user[0] == 'a' ? 1 : 2);
            QVERIFY(open("/session", user, "pw", true));
            QTRY_COMPARE(m_site.requests.last().path, "/session-start");
            QCOMPARE(m_site.requests.last().cookie, "");
        }
        QCOMPARE(cookie(h, 0), "sid=ann");
        QCOMPARE(cookie(h, 1), "sid=bob");
        h.selectTab(1);
        QVERIFY(open("/session", "cid", "pw", false));
        QCOMPARE(m_site.requests.last().cookie, "sid=ann");
        Window restarted;
        restarted.open();
        QCOMPARE(cookie(restarted, 0), "");
    }

    // While locked no window shows anything until the sign-in passes; then all is back as it was. A lock that comes
    // during a protected profile's check waits for that check rather than stack a second one.
    void locking_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Ctrl+Shift+L") << "keys";
        QTest::newRow("idle") << "idle";
        QTest::newRow("during a profile check") << "check";
    }
    void locking()
    {
        QFETCH(QString, how);
        Window w;
        QVERIFY(w.store.add({{"Guarded", url("/a"), "ann", "pw", "", true}, {"Plain", url("/b"), "bob", "pw", ""}}));
        w.open();
        w.selectTab(3);
        w.choose(2);
        QVERIFY(w.loaded(2, url("/b")));
        w.finished.clear();
        const QRect where = w.window->geometry();
        QTest::mouseClick(w.child("imgCopyPasswordWP"), Qt::LeftButton); // the lock takes it off the clipboard
        const auto lock = [&w] {
            QApplication::setActiveWindow(w.window.get());
            QTest::keyClick(w.window.get(), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        };
        int showing = -1; // windows that showed anything while the sign-in was open
        w.duringLogin = [&] {
            if (how == "check")
                lock();
            w.window->findChild<IdleWatch *>()->setInterval({}); // once is enough
            showing = 0;
            for (QWidget *top : QApplication::topLevelWidgets()) {
                QImage shown = top->isVisible() ? top->grab().toImage() : QImage(), blank = shown;
                blank.fill(shown.isNull() ? 0 : shown.pixel(0, 0));
                showing += shown != blank;
            }
        };
        how == "keys"       ? lock()
            : how == "idle" ? w.window->findChild<IdleWatch *>()->setInterval(std::chrono::milliseconds(200))
                            : w.choose(1);
        QVERIFY(QTest::qWaitFor([&] { return w.loginChecks == 1; }, 5000));
        QVERIFY(showing == 0 && QGuiApplication::clipboard()->text().isEmpty());
        QVERIFY(w.window->isVisible() && w.window->geometry() == where);
        QCOMPARE(w.shows(),
                 how == "check" ? kSelect + " Guarded Plain | - - ann - - | " + kChosen + " imgWPTympra"
                                : kSelect + " Guarded Plain | - - bob - - | " + kChosen);
        QVERIFY(how == "check" || (w.finished.isEmpty() && w.page(2)->url() == url("/b"))); // not even reloaded
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_browser.moc"
