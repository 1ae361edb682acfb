#include "clsagentdb.h"
#include "frmwebsiteprofile.h"
#include "recordingmessageservice.h"
#include "scriptedfiledialogservice.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSaveFailed = QStringLiteral("Failed to update database.\r\nPlease try again.");
const QString kSaved = QStringLiteral("Database updated successfully.");
const QString kRequired = QStringLiteral("Please fill in the required fields.");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Makes the next SaveDB fail: a directory that is not empty stands where the database file belongs.
void blockDatabase(const QString &programFolder)
{
    QDir(programFolder).mkpath(QStringLiteral("vy.bdb/keep"));
}

void unblockDatabase(const QString &programFolder)
{
    QDir(programFolder + QStringLiteral("/vy.bdb")).removeRecursively();
}

} // namespace

class TestWebsiteProfile : public QObject
{
    Q_OBJECT

private:
    // A fresh program folder and store for every test function.
    struct Fixture
    {
        QTemporaryDir folder;
        QTemporaryDir elsewhere; // where the user's own pictures lie
        clsAgentDB db {folder.path()};
        RecordingMessageService messages;
        ScriptedFileDialogService files;

        std::unique_ptr<frmWebsiteProfile> dialog()
        {
            auto d = std::make_unique<frmWebsiteProfile>(db, messages, files);
            d->show();
            return d;
        }
        // A real picture file outside the program folder.
        QString picture(const QString &name, QColor colour, const char *format = "BMP")
        {
            QImage image(40, 30, QImage::Format_RGB32);
            image.fill(colour);
            const QString path = elsewhere.filePath(name);
            image.save(path, format);
            return path;
        }
    };

    static QLineEdit *box(QWidget *d, const char *name) { return d->findChild<QLineEdit *>(QLatin1String(name)); }
    static QPushButton *button(QWidget *d, const char *name)
    {
        return d->findChild<QPushButton *>(QLatin1String(name));
    }
    static void fill(QWidget *d, const QString &name, const QString &url, const QString &id, const QString &password)
    {
        box(d, "txtWebsiteName")->setText(name);
        box(d, "txtURL")->setText(url);
        box(d, "txtID")->setText(id);
        box(d, "txtPassword")->setText(password);
    }
    static void clickThumb(QWidget *d)
    {
        QTest::mouseClick(d->findChild<QLabel *>(QStringLiteral("lblNewThumb")), Qt::LeftButton);
    }

private slots:
    void tabOrder()
    {
        Fixture f;
        auto d = f.dialog();
        const QStringList expected {QStringLiteral("txtWebsiteName"), QStringLiteral("txtURL"),
                                    QStringLiteral("txtID"),          QStringLiteral("txtPassword"),
                                    QStringLiteral("chkTympra"),      QStringLiteral("cmdConfirm"),
                                    QStringLiteral("cmdAbort")};
        QStringList order;
        QWidget *w = box(d.get(), "txtWebsiteName");
        for (int i = 0; i < expected.size(); ++i, w = w->nextInFocusChain()) {
            while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(d.get()))
                w = w->nextInFocusChain();
            order << w->objectName();
        }
        QCOMPARE(order, expected);
    }

    void enteringTextBoxSelectsItsText()
    {
        Fixture f;
        f.db.AddWebsiteProfile(false, QStringLiteral("Mail"), QStringLiteral("http://mail/"), QStringLiteral("me"),
                               QStringLiteral("pw"), QString());
        auto d = f.dialog();
        d->EditWP(0);
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d.get()));
        // Entered by a click, which by itself would only place the cursor.
        for (const char *name : {"txtURL", "txtID", "txtPassword", "txtWebsiteName"}) {
            QLineEdit *target = box(d.get(), name);
            target->deselect();
            QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, target->height() / 2));
            QCOMPARE(QApplication::focusWidget(), target);
            QTRY_COMPARE(target->selectionStart(), 0);
            QCOMPARE(target->selectionLength(), target->text().size());
        }
    }

    void requiredFieldsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::newRow("blank name") << "   "
                                    << "http://a/"
                                    << "me"
                                    << "pw";
        QTest::newRow("empty url") << "Mail"
                                   << ""
                                   << "me"
                                   << "pw";
        QTest::newRow("blank login name") << "Mail"
                                          << "http://a/"
                                          << " "
                                          << "pw";
        QTest::newRow("blank password") << "Mail"
                                        << "http://a/"
                                        << "me"
                                        << "     ";
    }
    void requiredFieldsRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, url);
        QFETCH(QString, id);
        QFETCH(QString, password);
        Fixture f;
        auto d = f.dialog();
        QSignalSpy updated(d.get(), &frmWebsiteProfile::WPUpdated);
        d->NewWP();
        fill(d.get(), name, url, id, password);
        button(d.get(), "cmdConfirm")->click();
        QCOMPARE(f.messages.messages.size(), 1);
        QCOMPARE(f.messages.lastText(), kRequired);
        QCOMPARE(f.messages.messages.last().icon, MessageIcon::Warning);
        QCOMPARE(f.messages.messages.last().title, QStringLiteral("Vaultry"));
        QCOMPARE(f.db.WebsiteProfileCount(), 0);
        QCOMPARE(updated.count(), 0);
        QVERIFY(d->isVisible());
        QCOMPARE(box(d.get(), "txtWebsiteName")->text(), name); // input left as typed
        QVERIFY(!QFile::exists(f.db.DBFile()));
    }

    void newProfileTrimmedWithoutPicture()
    {
        Fixture f;
        auto d = f.dialog();
        QSignalSpy updated(d.get(), &frmWebsiteProfile::WPUpdated);
        d->NewWP();
        fill(d.get(), QStringLiteral("  Mail  "), QStringLiteral(" http://mail.test/login "), QStringLiteral("  me "),
             QStringLiteral(" secret  "));
        button(d.get(), "cmdConfirm")->click();

        QCOMPARE(updated.count(), 1);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QVERIFY(!d->isVisible());
        QCOMPARE(f.messages.messages.size(), 1);
        QCOMPARE(f.messages.lastText(), kSaved);
        QCOMPARE(f.messages.messages.last().icon, MessageIcon::Information);

        // What was written comes back from the file.
        clsAgentDB reread(f.folder.path());
        QVERIFY(reread.OpenDB());
        QCOMPARE(reread.WebsiteProfileCount(), 1);
        QCOMPARE(reread.WPName(0), QStringLiteral("Mail"));
        QCOMPARE(reread.WPURL(0), QStringLiteral("http://mail.test/login"));
        QCOMPARE(reread.WPID(0), QStringLiteral("me"));
        QCOMPARE(reread.WPPassword(0), QStringLiteral("secret"));
        QCOMPARE(reread.WPTympra(0), false);
        QCOMPARE(reread.Profiles().at(0).ThumbName, QString()); // no picture: empty name
        QVERIFY(!QFileInfo::exists(reread.ThumbsFolder()) || QDir(reread.ThumbsFolder()).isEmpty());
    }

    void tympraBoxShowsBadge()
    {
        Fixture f;
        f.db.AddWebsiteProfile(true, QStringLiteral("Bank"), QStringLiteral("http://bank/"), QStringLiteral("me"),
                               QStringLiteral("pw"), QString());
        f.db.AddWebsiteProfile(false, QStringLiteral("Mail"), QStringLiteral("http://mail/"), QStringLiteral("me"),
                               QStringLiteral("pw"), QString());
        for (int i : {0, 1}) {
            auto d = f.dialog();
            d->EditWP(i);
            auto *check = d->findChild<QCheckBox *>(QStringLiteral("chkTympra"));
            auto *badge = d->findChild<QLabel *>(QStringLiteral("imgWPTympra"));
            QCOMPARE(check->isChecked(), i == 0);
            QCOMPARE(badge->isVisible(), i == 0);
            QVERIFY(!badge->pixmap().isNull());
            check->click();
            QCOMPARE(badge->isVisible(), i != 0);
            button(d.get(), "cmdConfirm")->click();
            QCOMPARE(f.db.WPTympra(i), i != 0);
        }
    }

    void chosenPictureCopiedOnConfirm()
    {
        Fixture f;
        const QString first = f.picture(QStringLiteral("first.bmp"), Qt::red);
        const QString second = f.picture(QStringLiteral("second.jpg"), Qt::blue, "JPG");
        f.files.nextPaths << first << second;
        auto d = f.dialog();
        d->NewWP();
        fill(d.get(), QStringLiteral("Mail"), QStringLiteral("http://mail/"), QStringLiteral("me"),
             QStringLiteral("pw"));
        clickThumb(d.get());
        QTest::mouseClick(d->findChild<QLabel *>(QStringLiteral("imgThumb")), Qt::LeftButton);
        QCOMPARE(f.files.requests.size(), 2);
        QCOMPARE(f.files.requests[0].title, QStringLiteral("Website Thumbnail"));
        QCOMPARE(f.files.requests[0].filter, QStringLiteral("Picture files (*.bmp *.jpg *.gif)"));
        QVERIFY(!d->findChild<QLabel *>(QStringLiteral("imgThumb"))->pixmap().isNull());
        QVERIFY(!QFileInfo::exists(f.db.ThumbsFolder())); // nothing is copied before Confirm

        button(d.get(), "cmdConfirm")->click();
        QCOMPARE(f.db.Profiles().at(0).ThumbName, QStringLiteral("second.jpg")); // only the second choice
        QCOMPARE(f.db.WPThumbName(0), f.db.ThumbsFolder() + QStringLiteral("second.jpg"));
        QCOMPARE(readAll(f.db.WPThumbName(0)), readAll(second));
        QVERIFY(!QFile::exists(f.db.ThumbsFolder() + QStringLiteral("first.bmp")));

        // Editing and confirming without a new picture keeps name and file.
        auto again = f.dialog();
        again->EditWP(0);
        QVERIFY(!again->findChild<QLabel *>(QStringLiteral("imgThumb"))->pixmap().isNull());
        box(again.get(), "txtPassword")->setText(QStringLiteral("new"));
        button(again.get(), "cmdConfirm")->click();
        QCOMPARE(f.db.Profiles().at(0).ThumbName, QStringLiteral("second.jpg"));
        QCOMPARE(readAll(f.db.WPThumbName(0)), readAll(second));
        QCOMPARE(f.db.WPPassword(0), QStringLiteral("new"));
    }

    void pictureChooserIgnoresCancelMissingAndFolders_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("cancel") << QString();
        QTest::newRow("missing file") << QStringLiteral("/nonexistent/pic.bmp");
        QTest::newRow("folder") << QDir::tempPath();
    }
    void pictureChooserIgnoresCancelMissingAndFolders()
    {
        QFETCH(QString, answer);
        Fixture f;
        f.files.nextPaths << answer;
        auto d = f.dialog();
        d->NewWP();
        fill(d.get(), QStringLiteral("Mail"), QStringLiteral("http://mail/"), QStringLiteral("me"),
             QStringLiteral("pw"));
        clickThumb(d.get());
        QCOMPARE(f.files.requests.size(), 1);
        QCOMPARE(box(d.get(), "txtThumbFullPath")->text(), QString());
        button(d.get(), "cmdConfirm")->click();
        QCOMPARE(f.db.Profiles().at(0).ThumbName, QString());
        QCOMPARE(f.messages.lastText(), kSaved);
    }

    void fileThatIsNoPictureIsStillCopied()
    {
        Fixture f;
        const QString path = f.elsewhere.filePath(QStringLiteral("notes.gif"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();
        f.files.nextPaths << path;
        auto d = f.dialog();
        d->NewWP();
        fill(d.get(), QStringLiteral("Mail"), QStringLiteral("http://mail/"), QStringLiteral("me"),
             QStringLiteral("pw"));
        clickThumb(d.get());
        QVERIFY(d->findChild<QLabel *>(QStringLiteral("imgThumb"))->pixmap().isNull());
        button(d.get(), "cmdConfirm")->click();
        QCOMPARE(readAll(f.db.WPThumbName(0)), QByteArray("not a picture"));
    }

    void abortAfterChoosingPictureChangesNothing()
    {
        Fixture f;
        f.db.AddWebsiteProfile(false, QStringLiteral("Mail"), QStringLiteral("http://mail/"), QStringLiteral("me"),
                               QStringLiteral("pw"), QString());
        const QList<WebsiteProfile> before = f.db.Profiles();
        f.files.nextPaths << f.picture(QStringLiteral("pic.bmp"), Qt::green);
        auto d = f.dialog();
        QSignalSpy updated(d.get(), &frmWebsiteProfile::WPUpdated);
        d->EditWP(0);
        box(d.get(), "txtWebsiteName")->setText(QStringLiteral("Other"));
        clickThumb(d.get());
        button(d.get(), "cmdAbort")->click();
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QVERIFY(!d->isVisible());
        QCOMPARE(updated.count(), 0);
        QCOMPARE(f.db.Profiles(), before);
        QVERIFY(!QFileInfo::exists(f.db.ThumbsFolder()));
        QVERIFY(!QFile::exists(f.db.DBFile()));
        QVERIFY(f.messages.messages.isEmpty());
    }

    void thumbnailCopyFailureStillSavesProfile()
    {
        Fixture f;
        QFile blocker(f.folder.filePath(QStringLiteral("thumbs"))); // a file where the folder belongs
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        f.files.nextPaths << f.picture(QStringLiteral("pic.bmp"), Qt::green);
        auto d = f.dialog();
        QSignalSpy updated(d.get(), &frmWebsiteProfile::WPUpdated);
        d->NewWP();
        fill(d.get(), QStringLiteral("Mail"), QStringLiteral("http://mail/"), QStringLiteral("me"),
             QStringLiteral("pw"));
        clickThumb(d.get());
        button(d.get(), "cmdConfirm")->click();
        QCOMPARE(f.messages.messages.size(), 2);
        QCOMPARE(f.messages.messages[0].text, QStringLiteral("Failed to save thumbnail."));
        QCOMPARE(f.messages.messages[0].icon, MessageIcon::Critical);
        QCOMPARE(f.messages.messages[1].text, kSaved);
        QCOMPARE(updated.count(), 1);
        clsAgentDB reread(f.folder.path());
        QVERIFY(reread.OpenDB());
        QCOMPARE(reread.Profiles().at(0).ThumbName, QStringLiteral("pic.bmp"));
    }

    // A failed save puts the store back, so trying again adds the profile once.
    void failedSaveAfterAddingRestoresStore()
    {
        Fixture f;
        blockDatabase(f.folder.path());
        const QString picture = f.picture(QStringLiteral("pic.bmp"), Qt::green);
        f.files.nextPaths << picture;
        auto d = f.dialog();
        QSignalSpy updated(d.get(), &frmWebsiteProfile::WPUpdated);
        d->NewWP();
        fill(d.get(), QStringLiteral("Mail"), QStringLiteral("http://mail/"), QStringLiteral("me"),
             QStringLiteral("pw"));
        clickThumb(d.get());
        button(d.get(), "cmdConfirm")->click();
        QCOMPARE(f.messages.lastText(), kSaveFailed);
        QVERIFY(!QFile::exists(f.db.ThumbsFolder() + QStringLiteral("pic.bmp"))); // no copy left behind
        QCOMPARE(f.messages.messages.last().icon, MessageIcon::Critical);
        QCOMPARE(f.db.WebsiteProfileCount(), 0);
        QCOMPARE(updated.count(), 0);
        QVERIFY(d->isVisible());

        unblockDatabase(f.folder.path());
        button(d.get(), "cmdConfirm")->click();
        QCOMPARE(f.messages.lastText(), kSaved);
        QCOMPARE(f.db.WebsiteProfileCount(), 1);
        QCOMPARE(updated.count(), 1);
        clsAgentDB reread(f.folder.path());
        QVERIFY(reread.OpenDB());
        QCOMPARE(reread.WebsiteProfileCount(), 1);
        QCOMPARE(readAll(reread.WPThumbName(0)), readAll(picture));
    }

    void failedSaveAfterEditingRestoresStore()
    {
        Fixture f;
        f.db.AddWebsiteProfile(false, QStringLiteral("Mail"), QStringLiteral("http://mail/"), QStringLiteral("me"),
                               QStringLiteral("pw"), QStringLiteral("pic.bmp"));
        QVERIFY(f.db.SaveThumb(0, f.picture(QStringLiteral("pic.bmp"), Qt::red)));
        const QByteArray oldPicture = readAll(f.db.WPThumbName(0));
        QVERIFY(f.db.SaveDB());
        const QList<WebsiteProfile> before = f.db.Profiles();
        QVERIFY(QFile::remove(f.db.DBFile()));
        blockDatabase(f.folder.path());
        f.files.nextPaths << f.picture(QStringLiteral("pic.bmp"), Qt::green);
        auto d = f.dialog();
        d->EditWP(0);
        fill(d.get(), QStringLiteral("Other"), QStringLiteral("http://other/"), QStringLiteral("you"),
             QStringLiteral("new"));
        d->findChild<QCheckBox *>(QStringLiteral("chkTympra"))->click();
        clickThumb(d.get());
        button(d.get(), "cmdConfirm")->click();
        QCOMPARE(f.messages.lastText(), kSaveFailed);
        QCOMPARE(f.db.Profiles(), before); // memory agrees with what is stored
        QCOMPARE(readAll(f.db.WPThumbName(0)), oldPicture); // and so does the picture it names
        QVERIFY(d->isVisible());
    }

    void textOutsideCodePage1252Refused_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("label");
        QTest::newRow("name") << 0 << "Website Name";
        QTest::newRow("url") << 1 << "The URL";
        QTest::newRow("login name") << 2 << "Your Username";
        QTest::newRow("password") << 3 << "Your Password";
        QTest::newRow("picture name") << 4 << "Website Thumbnail";
    }
    void textOutsideCodePage1252Refused()
    {
        QFETCH(int, field);
        QFETCH(QString, label);
        Fixture f;
        QStringList texts {QStringLiteral("Café €"), QStringLiteral("http://mail/"), QStringLiteral("me"),
                           QStringLiteral("pässwörd")};
        if (field < 4)
            texts[field] += QStringLiteral("\u0141\u4E2D"); // Ł and a CJK character: not in the code page
        else
            f.files.nextPaths << f.picture(QStringLiteral("\u4E2D.bmp"), Qt::green);
        auto d = f.dialog();
        QSignalSpy updated(d.get(), &frmWebsiteProfile::WPUpdated);
        d->NewWP();
        fill(d.get(), texts[0], texts[1], texts[2], texts[3]);
        if (field == 4)
            clickThumb(d.get());
        button(d.get(), "cmdConfirm")->click();
        QCOMPARE(f.messages.messages.size(), 1);
        QVERIFY2(f.messages.lastText().contains(QLatin1Char('"') + label + QLatin1Char('"')),
                 qPrintable(f.messages.lastText()));
        QCOMPARE(f.messages.messages.last().icon, MessageIcon::Warning);
        QCOMPARE(f.db.WebsiteProfileCount(), 0);
        QCOMPARE(updated.count(), 0);
        QVERIFY(!QFileInfo::exists(f.db.ThumbsFolder()));

        // Characters the code page holds (é, €, ä, ö) are fine.
        if (field < 4)
            fill(d.get(), QStringLiteral("Café €"), QStringLiteral("http://mail/"), QStringLiteral("me"),
                 QStringLiteral("pässwörd"));
        else
            box(d.get(), "txtThumbFullPath")->clear();
        button(d.get(), "cmdConfirm")->click();
        QCOMPARE(f.messages.lastText(), kSaved);
        clsAgentDB reread(f.folder.path());
        QVERIFY(reread.OpenDB());
        QCOMPARE(reread.WPName(0), QStringLiteral("Café €"));
        QCOMPARE(reread.WPPassword(0), QStringLiteral("pässwörd"));
    }
};

QTEST_MAIN(TestWebsiteProfile)
#include "tst_frmwebsiteprofile.moc"
