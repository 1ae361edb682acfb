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
const QStringList kMail {QStringLiteral("Mail"), QStringLiteral("http://mail/"), QStringLiteral("me"),
                         QStringLiteral("pw")};

// Characters the code page holds (é, €, ä, ö) are fine.
const QStringList kFine {QStringLiteral("Café €"), QStringLiteral("http://mail/"), QStringLiteral("me"),
                         QStringLiteral("pässwörd")};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A profile as "name|address|login name|password|thumbnail|protected".
QString describe(const WebsiteProfile &p)
{
    return QStringList {p.Name, p.URL, p.ID, p.Password, p.ThumbName, QString::number(p.Tympra)}.join(QLatin1Char('|'));
}

QLineEdit *box(QWidget *d, const char *name)
{
    return d->findChild<QLineEdit *>(QLatin1String(name));
}
void click(QWidget *d, const char *button)
{
    d->findChild<QPushButton *>(QLatin1String(button))->click();
}
void fill(QWidget *d, const QStringList &texts)
{
    box(d, "txtWebsiteName")->setText(texts[0]);
    box(d, "txtURL")->setText(texts[1]);
    box(d, "txtID")->setText(texts[2]);
    box(d, "txtPassword")->setText(texts[3]);
}
void clickThumb(QWidget *d)
{
    QTest::mouseClick(d->findChild<QLabel *>(QStringLiteral("lblNewThumb")), Qt::LeftButton);
}
bool thumbShown(QWidget *d)
{
    return !d->findChild<QLabel *>(QStringLiteral("imgThumb"))->pixmap().isNull();
}

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
    // A new profile with the given texts, the picture chooser clicked when asked.
    std::unique_ptr<frmWebsiteProfile> newProfile(const QStringList &texts = kMail, bool choosePicture = false)
    {
        auto d = dialog();
        d->NewWP();
        fill(d.get(), texts);
        if (choosePicture)
            clickThumb(d.get());
        return d;
    }
    void add(const QString &name, bool tympra = false, const QString &thumb = {})
    {
        db.AddWebsiteProfile(tympra, name, kMail[1], kMail[2], kMail[3], thumb);
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
    // The profiles as the database file holds them.
    QStringList stored()
    {
        clsAgentDB reread(folder.path());
        QStringList result;
        if (reread.OpenDB()) {
            for (const WebsiteProfile &p : reread.Profiles())
                result << describe(p);
        }
        return result;
    }
    // Makes the next SaveDB fail: a directory that is not empty stands where the database file belongs.
    void blockDatabase(bool blocked)
    {
        if (blocked)
            QDir(folder.path()).mkpath(QStringLiteral("vy.bdb/keep"));
        else
            QDir(folder.filePath(QStringLiteral("vy.bdb"))).removeRecursively();
    }
};

} // namespace

class TestWebsiteProfile : public QObject
{
    Q_OBJECT

private slots:
    void tabOrder()
    {
        Fixture f;
        auto d = f.dialog();
        const QStringList expected =
            QStringLiteral("txtWebsiteName txtURL txtID txtPassword chkTympra cmdConfirm cmdAbort").split(' ');
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
        f.add(QStringLiteral("Mail"));
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

    void newProfileTrimmedWithoutPicture()
    {
        Fixture f;
        auto d = f.newProfile({QStringLiteral("  Mail  "), QStringLiteral(" http://mail.test/login "),
                               QStringLiteral("  me "), QStringLiteral(" secret  ")});
        QSignalSpy updated(d.get(), &frmWebsiteProfile::WPUpdated);
        click(d.get(), "cmdConfirm");
        QCOMPARE(updated.count(), 1);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QVERIFY(!d->isVisible());
        QCOMPARE(f.messages.messages.size(), 1);
        QCOMPARE(f.messages.lastText(), kSaved);
        // Trimmed, and no picture gives an empty thumbnail name.
        QCOMPARE(f.stored(), QStringList {QStringLiteral("Mail|http://mail.test/login|me|secret||0")});
        QVERIFY(!QFileInfo::exists(f.db.ThumbsFolder()) || QDir(f.db.ThumbsFolder()).isEmpty());
    }

    void tympraBoxShowsBadge()
    {
        Fixture f;
        f.add(QStringLiteral("Bank"), true);
        f.add(QStringLiteral("Mail"));
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
            click(d.get(), "cmdConfirm");
            QCOMPARE(f.db.WPTympra(i), i != 0);
        }
    }

    void chosenPictureCopiedOnConfirm()
    {
        Fixture f;
        const QString first = f.picture(QStringLiteral("first.bmp"), Qt::red);
        const QString second = f.picture(QStringLiteral("second.jpg"), Qt::blue, "JPG");
        f.files.nextPaths << first << second;
        auto d = f.newProfile(kMail, true);
        QTest::mouseClick(d->findChild<QLabel *>(QStringLiteral("imgThumb")), Qt::LeftButton);
        QCOMPARE(f.files.requests.size(), 2);
        QCOMPARE(f.files.requests[0].filter, QStringLiteral("Picture files (*.bmp *.jpg *.gif)"));
        QVERIFY(thumbShown(d.get()));
        QVERIFY(!QFileInfo::exists(f.db.ThumbsFolder())); // nothing is copied before Confirm

        click(d.get(), "cmdConfirm");
        QCOMPARE(f.db.Profiles().at(0).ThumbName, QStringLiteral("second.jpg")); // only the second choice
        QCOMPARE(f.db.WPThumbName(0), f.db.ThumbsFolder() + QStringLiteral("second.jpg"));
        QCOMPARE(readAll(f.db.WPThumbName(0)), readAll(second));
        QVERIFY(!QFile::exists(f.db.ThumbsFolder() + QStringLiteral("first.bmp")));

        // Editing and confirming without a new picture keeps name and file.
        auto again = f.dialog();
        again->EditWP(0);
        QVERIFY(thumbShown(again.get()));
        box(again.get(), "txtPassword")->setText(QStringLiteral("new"));
        click(again.get(), "cmdConfirm");
        QCOMPARE(f.stored(), QStringList {QStringLiteral("Mail|http://mail/|me|new|second.jpg|0")});
        QCOMPARE(readAll(f.db.WPThumbName(0)), readAll(second));
    }

    // Only an existing file counts as a choice, and it is copied as it is even when it shows no picture.
    void pictureChooserAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("cancel") << QString();
        QTest::newRow("missing file") << QStringLiteral("/nonexistent/pic.bmp");
        QTest::newRow("folder") << QDir::tempPath();
        QTest::newRow("file that is no picture") << QStringLiteral("notes.gif");
    }
    void pictureChooserAnswers()
    {
        QFETCH(QString, answer);
        Fixture f;
        const bool copied = answer == QStringLiteral("notes.gif");
        if (copied) {
            answer = f.elsewhere.filePath(answer);
            QFile file(answer);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a picture");
        }
        f.files.nextPaths << answer;
        auto d = f.newProfile(kMail, true);
        QCOMPARE(f.files.requests.size(), 1);
        QVERIFY(!thumbShown(d.get()));
        if (!copied)
            QCOMPARE(box(d.get(), "txtThumbFullPath")->text(), QString());
        click(d.get(), "cmdConfirm");
        QCOMPARE(f.messages.lastText(), kSaved);
        QCOMPARE(f.db.Profiles().at(0).ThumbName, copied ? QStringLiteral("notes.gif") : QString());
        if (copied)
            QCOMPARE(readAll(f.db.WPThumbName(0)), QByteArray("not a picture"));
    }

    void abortAfterChoosingPictureChangesNothing()
    {
        Fixture f;
        f.add(QStringLiteral("Mail"));
        const QList<WebsiteProfile> before = f.db.Profiles();
        f.files.nextPaths << f.picture(QStringLiteral("pic.bmp"), Qt::green);
        auto d = f.dialog();
        QSignalSpy updated(d.get(), &frmWebsiteProfile::WPUpdated);
        d->EditWP(0);
        box(d.get(), "txtWebsiteName")->setText(QStringLiteral("Other"));
        clickThumb(d.get());
        click(d.get(), "cmdAbort");
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
        auto d = f.newProfile(kMail, true);
        QSignalSpy updated(d.get(), &frmWebsiteProfile::WPUpdated);
        click(d.get(), "cmdConfirm");
        QCOMPARE(f.messages.messages.size(), 2);
        QCOMPARE(f.messages.messages[0].text, QStringLiteral("Failed to save thumbnail."));
        QCOMPARE(f.messages.messages[1].text, kSaved);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(f.stored(), QStringList {QStringLiteral("Mail|http://mail/|me|pw|pic.bmp|0")});
    }

    // A failed save puts the store back, so trying again adds the profile once.
    void failedSaveAfterAddingRestoresStore()
    {
        Fixture f;
        f.blockDatabase(true);
        const QString picture = f.picture(QStringLiteral("pic.bmp"), Qt::green);
        f.files.nextPaths << picture;
        auto d = f.newProfile(kMail, true);
        QSignalSpy updated(d.get(), &frmWebsiteProfile::WPUpdated);
        click(d.get(), "cmdConfirm");
        QCOMPARE(f.messages.lastText(), kSaveFailed);
        QVERIFY(!QFile::exists(f.db.ThumbsFolder() + QStringLiteral("pic.bmp"))); // no copy left behind
        QCOMPARE(f.db.WebsiteProfileCount(), 0);
        QCOMPARE(updated.count(), 0);
        QVERIFY(d->isVisible());

        f.blockDatabase(false);
        click(d.get(), "cmdConfirm");
        QCOMPARE(f.messages.lastText(), kSaved);
        QCOMPARE(f.db.WebsiteProfileCount(), 1);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(f.stored(), QStringList {QStringLiteral("Mail|http://mail/|me|pw|pic.bmp|0")});
        QCOMPARE(readAll(f.db.WPThumbName(0)), readAll(picture));
    }

    void failedSaveAfterEditingRestoresStore()
    {
        Fixture f;
        f.add(QStringLiteral("Mail"), false, QStringLiteral("pic.bmp"));
        QVERIFY(f.db.SaveThumb(0, f.picture(QStringLiteral("pic.bmp"), Qt::red)));
        const QByteArray oldPicture = readAll(f.db.WPThumbName(0));
        const QList<WebsiteProfile> before = f.db.Profiles();
        f.blockDatabase(true);
        f.files.nextPaths << f.picture(QStringLiteral("pic.bmp"), Qt::green);
        auto d = f.dialog();
        d->EditWP(0);
        fill(d.get(),
             {QStringLiteral("Other"), QStringLiteral("http://other/"), QStringLiteral("you"), QStringLiteral("new")});
        d->findChild<QCheckBox *>(QStringLiteral("chkTympra"))->click();
        clickThumb(d.get());
        click(d.get(), "cmdConfirm");
        QCOMPARE(f.messages.lastText(), kSaveFailed);
        QCOMPARE(f.db.Profiles(), before); // memory agrees with what is stored
        QCOMPARE(readAll(f.db.WPThumbName(0)), oldPicture); // and so does the picture it names
        QVERIFY(d->isVisible());
    }

    // Blank required fields and texts outside code page 1252 are refused with the dialog left open; once
    // mended, the same dialog saves.
    void refusedInput_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<bool>("picture"); // a picture whose name is outside the code page
        QTest::addColumn<QString>("message");
        const QString required = QStringLiteral("Please fill in the required fields.");
        QTest::newRow("blank name") << QStringList {"   ", "http://a/", "me", "pw"} << false << required;
        QTest::newRow("empty url") << QStringList {"Mail", "", "me", "pw"} << false << required;
        QTest::newRow("blank login name") << QStringList {"Mail", "http://a/", " ", "pw"} << false << required;
        QTest::newRow("blank password") << QStringList {"Mail", "http://a/", "me", "     "} << false << required;
        const QStringList labels {"Website Name", "The URL", "Your Username", "Your Password"};
        for (int field = 0; field < 4; ++field) {
            QStringList texts = kFine;
            texts[field] += QStringLiteral("\u0141\u4E2D"); // Ł and a CJK character
            QTest::newRow(qPrintable(labels[field])) << texts << false << '"' + labels[field] + '"';
        }
        QTest::newRow("Website Thumbnail") << kFine << true << QStringLiteral("\"Website Thumbnail\"");
    }
    void refusedInput()
    {
        QFETCH(QStringList, texts);
        QFETCH(bool, picture);
        QFETCH(QString, message);
        Fixture f;
        if (picture)
            f.files.nextPaths << f.picture(QStringLiteral("\u4E2D.bmp"), Qt::green);
        auto d = f.newProfile(texts, picture);
        QSignalSpy updated(d.get(), &frmWebsiteProfile::WPUpdated);
        click(d.get(), "cmdConfirm");
        QCOMPARE(f.messages.messages.size(), 1);
        QVERIFY2(f.messages.lastText().contains(message), qPrintable(f.messages.lastText()));
        QCOMPARE(f.messages.messages.last().icon, MessageIcon::Warning);
        QCOMPARE(f.db.WebsiteProfileCount(), 0);
        QCOMPARE(updated.count(), 0);
        QVERIFY(d->isVisible());
        QCOMPARE(box(d.get(), "txtWebsiteName")->text(), texts[0]); // input left as typed
        QVERIFY(!QFile::exists(f.db.DBFile()));
        QVERIFY(!QFileInfo::exists(f.db.ThumbsFolder()));

        fill(d.get(), kFine);
        box(d.get(), "txtThumbFullPath")->clear();
        click(d.get(), "cmdConfirm");
        QCOMPARE(f.messages.lastText(), kSaved);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(f.stored(), QStringList {kFine.join(QLatin1Char('|')) + QStringLiteral("||0")});
    }
};

QTEST_MAIN(TestWebsiteProfile)
#include "tst_frmwebsiteprofile.moc"
