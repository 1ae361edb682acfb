// Renders the main window, the profile dialog, a filled login page, the import preview, a copied password, the
// find box, the Settings window and the password health into PNG files for the README.
// Not a test: run it under Xvfb, e.g.  xvfb-run -a build/tools/vaultry_screenshots docs
#include "accounttabs.h"
#include "importpreview.h"
#include "importpreviewdialog.h"
#include "keyclock.h"
#include "mainwindowharness.h"
#include "pageserver.h"
#include "passwordhealth.h"
#include "passwordhealthdialog.h"
#include "profiledialog.h"
#include "settingsdialog.h"
#include "signindialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>

namespace {

// A sample sign-in page of a made-up site.
QByteArray loginPage(const char *site, const char *colour)
{
    return QByteArray("<html><head><title>") + site +
        " - Sign in</title></head><body style='font-family:sans-serif;background:#f4f6fa'>"
        "<div style='width:280px;margin:40px auto;padding:20px;background:white;border:1px solid #ccd'>"
        "<h2 style='color:" +
        colour + "'>" + site +
        "</h2><form method='post' action='/signin'>"
        "<p>User name<br><input type='text' name='user' style='width:100%'></p>"
        "<p>Password<br><input type='password' name='pass' style='width:100%'></p>"
        "<p><input type='checkbox' name='remember'> Remember me</p>"
        "<p><input type='submit' value='Sign in'></p></form></div></body></html>";
}

// A thumbnail: the site's initial on its colour.
QImage thumb(QColor colour, const QString &initial)
{
    QImage image(96, 72, QImage::Format_RGB32);
    image.fill(colour);
    QPainter p(&image);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("Sans"), 36, QFont::Bold));
    p.drawText(image.rect(), Qt::AlignCenter, initial);
    return image;
}

// Taken from the screen, so that open pop-ups (the profile list) are in the picture too.
bool save(QWidget *w, const QString &path)
{
    const QRect r = w->frameGeometry();
    const bool ok = w->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).save(path);
    qInfo("%s %s", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

// The pictures, one group after another, over one main window in a temporary program folder.
struct Shots
{
    QString out;
    PageServer server;
    MainWindowHarness h;
    MainWindow *window = nullptr;
    bool ok = true;

    void keep(QWidget *w, const char *name) { ok &= save(w, out + '/' + QLatin1String(name) + ".png"); }
    QComboBox *list() const { return window->findChild<QComboBox *>(QStringLiteral("cboWP")); }
    // Chooses a profile as a user would and waits for its page.
    void choose(int position, const char *title)
    {
        list()->setCurrentIndex(position);
        emit list()->activated(position);
        const int t = window->tabs().currentTabIndex();
        if (!QTest::qWaitFor([&] { return window->tabs().wbPage(t)->title().startsWith(title); }, 15000))
            qWarning("the page %s did not load", title);
        QTest::qWait(1500);
    }

    void mainWindow()
    {
        window = &h.open();
        QTest::qWait(2500);
        keep(window, "main-empty");
        QDir(h.folder.path()).mkpath(QStringLiteral("thumbs"));
        thumb(QColor(0x2b, 0x4a, 0x78), QStringLiteral("M")).save(h.store.thumbsFolder() + "mail.bmp");
        thumb(QColor(0x2f, 0x7e, 0x5a), QStringLiteral("B")).save(h.store.thumbsFolder() + "bank.bmp");
        h.store.add({{QStringLiteral("Example Mail"), server.url(QStringLiteral("/mail")), QStringLiteral("jane.doe"),
                      QStringLiteral("correct horse"), QStringLiteral("mail.bmp"), false},
                     {QStringLiteral("Example Bank"), server.url(QStringLiteral("/bank")), QStringLiteral("ann.smith"),
                      QStringLiteral("s3cret"), QStringLiteral("bank.bmp"), true},
                     {QStringLiteral("Forum"), QStringLiteral("https://forum.example/"), QStringLiteral("jane"),
                      QStringLiteral("pw"), QString(), false}});
        h.settings.setAutoSignIn(false); // filled but not sent, so the pages stay to be seen
        window = &h.open();
        QTest::qWait(2500);
        list()->showPopup();
        QTest::qWait(300);
        keep(window, "main-profiles");
        list()->hidePopup();
        choose(1, "Example Mail");
        keep(window, "main-chosen");
    }

    void editor()
    {
        // A child of the window: it must go before the window does.
        ProfileDialog editor(h.store, 1, h.messages, h.files, window);
        editor.show();
        QTest::qWait(500);
        keep(&editor, "editor");
        editor.findChild<QPushButton *>(QStringLiteral("cmdGeneratePassword"))->click();
        editor.findChild<QToolButton *>(QStringLiteral("cmdShowPassword"))->click();
        QTest::qWait(300);
        keep(&editor, "editor-generated");
        editor.close();
    }

    // Locked: the main window is gone and only the sign-in dialog is on the desktop, until it passes.
    void locked()
    {
        h.duringLogin = [&] {
            const EventKeyClock clock;
            SignInDialog signIn(SignInDialog::Mode::Login, h.store, h.messages, QString(), clock);
            signIn.show();
            QTest::qWait(300);
            signIn.move(window->frameGeometry().center() - signIn.frameGeometry().center() + signIn.pos());
            QTest::qWait(500);
            keep(window, "locked"); // where the window was
        };
        QApplication::setActiveWindow(window);
        QTest::keyClick(window, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        h.duringLogin = nullptr;
        QTest::qWait(500);
        window->findChild<QTabBar *>(QStringLiteral("tbs"))->setCurrentIndex(1);
        choose(2, "Example Bank");
        keep(window, "autofill");
    }

    // A browser's export with rows of every kind, previewed against the three profiles above.
    void importPreview()
    {
        QFile csv(h.folder.filePath(QStringLiteral("passwords.csv")));
        if (csv.open(QIODevice::WriteOnly))
            csv.write("\xEF\xBB\xBFname,url,username,password,note\r\n"
                      "Example Mail,https://mail.example/login,jane.doe,correct horse,\r\n"
                      "Video,https://video.example/signin,jane.doe,\"s3cret, \"\"really\"\"\",\r\n"
                      "forum.example,https://forum.example/,jane,pw4forum,\"Security question:\r\nfirst pet\"\r\n"
                      "Example Shop,https://shop.example/account,ann.smith,Sh0p!,\r\n"
                      "Example Shop,https://shop.example/account,ann.smith,older password,\r\n"
                      "Library,https://library.example/,,,\r\n"
                      "\xE6\x97\xA5\xE6\x9C\xAC Travel,https://travel.example/,jane,trip2024,\r\n"
                      "Chat,android://Xk3f@com.example.chat/,jane,chat-pw,\r\n"
                      "News,https://news.example/login,jdoe,n3ws!,\r\n");
        csv.close();
        PasswordFile file;
        readPasswordFile(csv.fileName(), &file);
        ImportPreviewDialog preview(QStringLiteral("passwords.csv"), file.layout, previewImport(file, h.store), window);
        preview.show();
        QTest::qWait(500);
        keep(&preview, "import-preview");
        preview.close();
    }

    void sideBarHidden()
    {
        QTest::mouseClick(window->findChild<QLabel *>(QStringLiteral("imgSideBar")), Qt::LeftButton, {}, QPoint(1, 1));
        QTest::qWait(1000);
        keep(window, "main-sidebar-hidden");
        QTest::mouseClick(window->findChild<QLabel *>(QStringLiteral("imgSideBar")), Qt::LeftButton, {}, QPoint(1, 1));
    }

    // Two accounts of one site, signed in side by side in tabs "1" and "2": each tab's session cookie names its own.
    void twoAccounts()
    {
        server.setPage(QStringLiteral("/club"),
                       loginPage("Example Club", "#7a3b8f").replace("/signin", "/club/signin"));
        server.setPage(QStringLiteral("POST /club/signin"), "<title>Example Club</title>Welcome", 0,
                       "Set-Cookie: member=%user%; Path=/\r\n");
        server.setPage(QStringLiteral("/club/account"),
                       "<html><head><title>Example Club - Your account</title></head><body "
                       "style='font-family:sans-serif'><h2 style='color:#7a3b8f'>Example Club</h2><p>You are signed "
                       "in.</p><p>Session cookie: <b>%cookie%</b></p></body></html>");
        window->findChild<QCheckBox *>(QStringLiteral("chkAutoSignIn"))->setChecked(true);
        QList<QImage> tabs;
        for (int t : {0, 1}) {
            window->findChild<QTabBar *>(QStringLiteral("tbs"))->setCurrentIndex(t);
            const int posts = int(server.posts().size());
            window->tabs().openProfile(server.url("/club"), t ? "john.roe" : "jane.doe", "pw");
            if (!QTest::qWaitFor([&] { return server.posts().size() > posts; }, 15000))
                qWarning("tab %d did not sign in", t + 1);
            QTest::qWait(1000);
            window->tabs().navigate(t, QUrl(server.url("/club/account")));
            QTest::qWait(2500);
            const QRect r = window->frameGeometry();
            tabs << window->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
        }
        QImage both(tabs[0].width() * 2 + 16, tabs[0].height(), QImage::Format_RGB32);
        both.fill(Qt::white);
        QPainter painter(&both);
        painter.drawImage(0, 0, tabs[0]);
        painter.drawImage(tabs[0].width() + 16, 0, tabs[1]);
        painter.end();
        ok &= both.save(out + QStringLiteral("/two-accounts.png"));
    }

    // The list narrowed by the find box to the profiles with "mail", then the password of the chosen profile copied.
    void findAndCopy()
    {
        h.store.add({{QStringLiteral("Mail (work)"), QStringLiteral("https://mail.work.example/"),
                      QStringLiteral("jdoe"), QStringLiteral("pw"), QString(), false},
                     {QStringLiteral("Photo archive"), QStringLiteral("https://photos.example/"),
                      QStringLiteral("jane"), QStringLiteral("pw"), QString(), false},
                     {QStringLiteral("Webmail (old)"), QStringLiteral("https://webmail.example/"),
                      QStringLiteral("jane"), QStringLiteral("pw"), QString(), false}});
        window = &h.open();
        window->activateWindow(); // for the window's shortcuts
        (void)QTest::qWaitForWindowActive(window);
        QTest::qWait(1500);
        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("mail"));
        list()->showPopup();
        QTest::qWait(300);
        keep(window, "main-find");
        list()->hidePopup();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        choose(1, "Example Mail");
        QTest::keyClick(window, Qt::Key_P, Qt::AltModifier);
        QTest::qWait(300);
        keep(window, "main-copied");
    }

    // The Settings window refusing a number it does not take; then the health of the profiles above and a few more.
    void settingsAndHealth()
    {
        SettingsDialog settings(SettingsWindowServices {h.settings, h.messages}, window);
        settings.show();
        auto *seconds = settings.findChild<QLineEdit *>(QStringLiteral("txtClipboardSeconds"));
        seconds->selectAll();
        QTest::keyClicks(seconds, QStringLiteral("0"));
        QTest::keyClick(seconds, Qt::Key_Return);
        QTest::qWait(500);
        keep(&settings, "settings");
        settings.close();
        h.store.add({{QStringLiteral("Video"), QStringLiteral("https://video.example/"), QStringLiteral("jane"),
                      QStringLiteral("Summer2024"), QString(), false},
                     {QStringLiteral("Library"), QStringLiteral("https://library.example/"), QStringLiteral("jdoe"),
                      QStringLiteral("Kettle7"), QString(), false},
                     {QStringLiteral("Example Shop"), QStringLiteral("https://shop.example/"),
                      QStringLiteral("jane.doe"), QStringLiteral("correct horse"), QString(), false}});
        PasswordHealth health;
        PasswordHealthDialog dialog(h.services(), health, window);
        dialog.show();
        QTest::qWait(500);
        keep(&dialog, "health");
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("VAULTRY_PROGRAM_DIR"))
        qputenv("VAULTRY_PROGRAM_DIR", QFile::encodeName(QCoreApplication::applicationDirPath() + "/../bin"));
    Shots shots;
    shots.out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(shots.out);
    shots.server.setPage(QStringLiteral("/mail"), loginPage("Example Mail", "#2b4a78"));
    shots.server.setPage(QStringLiteral("/bank"), loginPage("Example Bank", "#2f7e5a"));
    shots.mainWindow();
    shots.editor();
    shots.locked();
    shots.importPreview();
    shots.sideBarHidden();
    shots.twoAccounts();
    shots.findAndCopy();
    shots.settingsAndHealth();
    return shots.ok ? 0 : 1;
}
