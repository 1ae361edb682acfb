// The Settings window over vy.ini in a temporary folder, and the password health check over a mixed store.
#include "mainwindowharness.h"
#include "passwordhealth.h"
#include "passwordhealthdialog.h"
#include "profiledialog.h"
#include "settingsdialog.h"

#include <QtTest>
#include <QtWidgets>

namespace {
// What vy.ini holds under key on disk ("-" without the key): read from a copy, which no settings of this process hold.
QString stored(const Settings &settings, const QString &key)
{
    QTemporaryDir copy;
    QFile::copy(settings.path(), copy.filePath("vy.ini"));
    return QSettings(copy.filePath("vy.ini"), QSettings::IniFormat).value("Vaultry/" + key, "-").toString();
}
const QString kStrong = "x7#Kp9!qL2@vW5$m", kGood = "Kettle7Rain", kSomewhat = "Kettle7", kWeak = "password1";
} // namespace

class tst_SettingsAndHealth : public QObject
{
    Q_OBJECT
private slots:
    // Typed into a box, then Enter: written at once, or refused under the box with the reason and not written.
    void settingsWindow_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("refusal");
        const QString old = "https://old.example/", page = "The start page must be a web address",
                      seconds = "The seconds must be a whole number from 1 to 86400.",
                      minutes = "The minutes must be a whole number from 0 (never) to 1440.";
        QTest::newRow("page") << "HomePage"
                              << " https://start.example/a?b=1 "
                              << "https://start.example/a?b=1"
                              << "";
        QTest::newRow("no page") << "HomePage"
                                 << ""
                                 << ""
                                 << "";
        QTest::newRow("local file") << "HomePage"
                                    << "file:///etc/passwd" << old << page;
        QTest::newRow("other scheme") << "HomePage"
                                      << "ftp://files.example/" << old << page;
        QTest::newRow("script") << "HomePage"
                                << "javascript:alert(1)" << old << page;
        QTest::newRow("no scheme") << "HomePage"
                                   << "start.example" << old << page;
        QTest::newRow("no host") << "HomePage"
                                 << "https://" << old << page;
        QTest::newRow("seconds") << "ClipboardSeconds"
                                 << "45"
                                 << "45"
                                 << "";
        QTest::newRow("a day") << "ClipboardSeconds"
                               << "86400"
                               << "86400"
                               << "";
        QTest::newRow("none") << "ClipboardSeconds"
                              << "0"
                              << "-" << seconds;
        QTest::newRow("over a day") << "ClipboardSeconds"
                                    << "86401"
                                    << "-" << seconds;
        QTest::newRow("words") << "ClipboardSeconds"
                               << "ten"
                               << "-" << seconds;
        QTest::newRow("never") << "LockMinutes"
                               << "0"
                               << "0"
                               << "";
        QTest::newRow("minutes") << "LockMinutes"
                                 << " 15 "
                                 << "15"
                                 << "";
        QTest::newRow("below zero") << "LockMinutes"
                                    << "-1"
                                    << "-" << minutes;
        QTest::newRow("fraction") << "LockMinutes"
                                  << "2.5"
                                  << "-" << minutes;
        QTest::newRow("unwritable") << "LockMinutes"
                                    << "7"
                                    << "-"
                                    << "vy.ini could not be written.";
    }
    void settingsWindow()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        Settings settings(dir.path());
        QVERIFY(settings.setHomePage("https://old.example/"));
        const bool unwritable = QTest::currentDataTag() == QLatin1String("unwritable");
        if (unwritable) // a folder where vy.ini belongs
            QVERIFY(QFile::remove(settings.path()) && QDir(dir.path()).mkdir("vy.ini"));
        RecordingMessageService messages;
        SettingsDialog d({settings, messages});
        d.show();
        auto *edit = d.findChild<QLineEdit *>("txt" + box);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(::stored(settings, box), stored);
        QVERIFY(!unwritable || settings.lockMinutes() == Settings::kLockMinutes); // nor kept in memory
        const auto *label = d.findChild<QLabel *>("lbl" + box + "Refusal");
        QVERIFY2(label->isVisible() == !refusal.isEmpty() && label->text().contains(refusal),
                 qPrintable(label->text()));
        QVERIFY(d.isVisible()); // Enter pressed no button
        QCOMPARE(QFileInfo(settings.path()).permissions() & 0x077, 0);
    }

    // Closing writes a box still being edited unless it is refused. Without the wallet's functions the check box only
    // records the choice and the button is disabled; with them, the sealing is theirs and a failure is told.
    void settingsWindowClosesAndSeals()
    {
        QTemporaryDir dir;
        Settings settings(dir.path());
        RecordingMessageService messages;
        {
            SettingsDialog d({settings, messages});
            QVERIFY(!d.findChild<QPushButton *>("cmdChangeMasterPassword")->isEnabled());
            QTest::keyClicks(d.findChild<QLineEdit *>("txtLockMinutes"), "0");
            QTest::keyClicks(d.findChild<QLineEdit *>("txtClipboardSeconds"), "x");
            d.findChild<QCheckBox *>("chkSealWallet")->click();
            d.reject();
        }
        QCOMPARE(stored(settings, "LockMinutes") + stored(settings, "ClipboardSeconds"), "50-");
        QVERIFY(settings.sealWallet());
        QStringList calls;
        bool sealed = false;
        const auto seal = [&](bool on, QString *error) {
            calls << QString("seal %1").arg(on);
            *error = "The disk is full.";
            return sealed;
        };
        SettingsDialog d({settings, messages, seal, [&] {
                              calls << "change";
                          }});
        auto *box = d.findChild<QCheckBox *>("chkSealWallet");
        box->click();
        QVERIFY(box->isChecked() && messages.lastText() == "The wallet could not be unsealed.\r\nThe disk is full.");
        sealed = true;
        box->click();
        d.findChild<QPushButton *>("cmdChangeMasterPassword")->click();
        QCOMPARE(calls, QStringList({"seal 0", "seal 0", "change"}));
        QVERIFY(!box->isChecked() && settings.sealWallet()); // the key is the function's to write
    }

    // Weak and shared passwords of a mixed store; a protected profile's password counts only with the check passed.
    // A check after a change rates the changed password, not what the last check rated at that place.
    void healthOfAMixedStore()
    {
        QList<WebsiteProfile> profiles {
            {"Mail", "https://mail.test/", "a", kStrong, ""},   {"Bank", "https://bank.test/", "b", kWeak, ""},
            {"Shop", "https://shop.test/", "c", kStrong, ""},   {"Forum", "https://forum.test/", "d", kWeak, "", true},
            {"Club", "https://club.test/", "e", kSomewhat, ""}, {"News", "https://news.test/", "f", kGood, ""}};
        const auto shows = [](const PasswordHealth::Report &r) {
            QStringList weak, shared;
            for (const PasswordHealth::Weak &w : r.weak)
                weak << QString("%1 %2").arg(w.profile).arg(w.rating);
            for (const QList<int> &group : r.shared)
                shared << QString::number(group.size()) + ":" + QString::number(group.first());
            return QString("%1 | %2 | %3 held back, %4")
                .arg(weak.join(", "), shared.join(" "))
                .arg(r.heldBack)
                .arg(r.findings());
        };
        PasswordHealth health;
        QCOMPARE(shows(health.check(profiles, false)), "1 Too guessable, 4 Somewhat guessable | 2:0 | 1 held back, 3");
        QCOMPARE(shows(health.check(profiles, true)),
                 "1 Too guessable, 3 Too guessable, 4 Somewhat guessable | 2:0 2:1 | 0 held back, 5");
        profiles[1].password = "pencil-rug-9";
        profiles[2].password = kWeak;
        QCOMPARE(shows(health.check(profiles, true)),
                 "2 Too guessable, 3 Too guessable, 4 Somewhat guessable | 2:2 | 0 held back, 4");
        QCOMPARE(PasswordHealthDialog::buttonText(0) + PasswordHealthDialog::buttonText(4),
                 "Password healthPassword health (4)");
    }

    // The window lists profiles, never a password; protected ones once the check passes; a row opens the profile.
    void healthWindow()
    {
        MainWindowHarness h;
        for (const WebsiteProfile &p : QList<WebsiteProfile> {{"Mail", "https://mail.test/", "a", kWeak, ""},
                                                              {"Bank", "https://bank.test/", "b", kStrong, "", true},
                                                              {"Shop", "https://shop.test/", "c", kStrong, ""}})
            QVERIFY(h.store.add(p));
        PasswordHealth health;
        PasswordHealthDialog d(h.services(), health);
        auto *tree = d.findChild<QTreeWidget *>("treeFindings");
        const auto rows = [&] {
            QStringList names;
            for (QTreeWidgetItemIterator it(tree); *it; ++it) {
                for (int column = 0; column < tree->columnCount(); ++column)
                    if ((*it)->text(column).contains(kWeak) || (*it)->text(column).contains(kStrong))
                        return QString("a password shows");
                if ((*it)->data(0, Qt::UserRole).isValid())
                    names << (*it)->text(0);
            }
            return names.join(' ');
        };
        auto *check = d.findChild<QPushButton *>("cmdCheckProtected");
        QCOMPARE(rows(), "Mail");
        h.loginPasses = false;
        check->click();
        QVERIFY(rows() == "Mail" && check->isVisibleTo(&d));
        h.loginPasses = true;
        check->click();
        QVERIFY(rows() == "Mail Bank Shop" && !check->isVisibleTo(&d) && h.loginChecks == 2);

        QTimer::singleShot(0, [] {
            auto *editor = qobject_cast<ProfileDialog *>(QApplication::activeModalWidget());
            editor->findChild<QLineEdit *>("txtPassword")->setText(kGood);
            editor->findChild<QPushButton *>("cmdConfirm")->click();
        });
        emit tree->itemActivated(tree->findItems("Mail", Qt::MatchExactly | Qt::MatchRecursive).first(), 0);
        QVERIFY(rows() == "Bank Shop" && d.edited() && h.store.profiles().first().password == kGood);
    }
};

QTEST_MAIN(tst_SettingsAndHealth)
#include "tst_settingsandhealth.moc"
