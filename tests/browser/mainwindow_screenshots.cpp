// Renders the main window and the profile dialog into PNG files for the README (docs/).
// Not a test: run it under Xvfb, e.g.  xvfb-run -a build/tests/vaultry_screenshots docs
#include "accounttabs.h"
#include "clsagentdb.h"
#include "connectiontest.h"
#include "frmmain.h"
#include "frmwebsiteprofile.h"
#include "recordingmessageservice.h"
#include "scriptedfiledialogservice.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QTabBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

namespace {

class Offline : public ConnectionTest
{
public:
    bool isConnected() override { return false; }
};

// A sample login page, served locally so that the chosen profile shows a real page.
class SamplePage : public QObject
{
public:
    SamplePage()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    socket->readAll();
                    const QByteArray body =
                        "<html><head><title>Example Mail - Sign in</title></head>"
                        "<body style='font-family:sans-serif;background:#f4f6fa'>"
                        "<div style='width:260px;margin:40px auto;padding:20px;background:white;border:1px solid #ccd'>"
                        "<h2 style='color:#2b4a78'>Example Mail</h2>"
                        "<p>User name<br><input type=text name=user style='width:100%'></p>"
                        "<p>Password<br><input type=password name=pass style='width:100%'></p>"
                        "<p><input type=checkbox name=keep> Keep me signed in</p>"
                        "<p><input type=submit value='Sign in'></p></div></body></html>";
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n"
                                  "Content-Length: " +
                                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/login").arg(m_server.serverPort()); }

private:
    QTcpServer m_server;
};

QImage bankThumb()
{
    QImage image(96, 72, QImage::Format_RGB32);
    image.fill(QColor(0xee, 0xf4, 0xee));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x7e, 0x5a));
    p.drawPolygon(QPolygonF({QPointF(14, 30), QPointF(48, 10), QPointF(82, 30)}));
    for (int x = 20; x <= 70; x += 16)
        p.drawRect(QRectF(x, 33, 8, 22));
    p.drawRect(QRectF(14, 57, 68, 6));
    return image;
}

QImage sampleThumb()
{
    QImage image(96, 72, QImage::Format_RGB32);
    image.fill(QColor(0xe8, 0xee, 0xf7));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x2b, 0x4a, 0x78), 3));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16, 16, 64, 40));
    p.drawLine(QPointF(16, 16), QPointF(48, 40));
    p.drawLine(QPointF(80, 16), QPointF(48, 40));
    return image;
}

void settle(int ms)
{
    QTest::qWait(ms);
}

// Taken from the screen, so that open pop-ups (the profile list) are in the picture too.
bool save(QWidget *w, const QString &path)
{
    const QRect r = w->geometry();
    const bool ok = w->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).save(path);
    qInfo("%s %s", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(out);

    QTemporaryDir folder;
    QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/Qorvish.bmp"),
                folder.filePath(QStringLiteral("Qorvish.bmp")));
    clsAgentDB db(folder.path());
    bool accessGranted = true;
    RecordingMessageService messages;
    ScriptedFileDialogService files;
    Offline offline;
    SamplePage page;
    MainWindowServices services {db,
                                 accessGranted,
                                 messages,
                                 files,
                                 offline,
                                 [&accessGranted] { accessGranted = true; },
                                 folder.path(),
                                 [](const QUrl &) {
                                 }};
    bool ok = true;

    {
        frmMain empty(services);
        empty.show();
        settle(2500);
        ok &= save(&empty, out + QStringLiteral("/main-empty.png"));
    }

    QDir(folder.path()).mkpath(QStringLiteral("thumbs"));
    sampleThumb().save(db.ThumbsFolder() + QStringLiteral("mail.bmp"));
    bankThumb().save(db.ThumbsFolder() + QStringLiteral("bank.bmp"));
    db.AddWebsiteProfile(false, QStringLiteral("Example Mail"), page.url(), QStringLiteral("jane.doe"),
                         QStringLiteral("correct horse"), QStringLiteral("mail.bmp"));
    db.AddWebsiteProfile(true, QStringLiteral("My Bank"), QStringLiteral("https://bank.example/login"),
                         QStringLiteral("jdoe"), QStringLiteral("s3cret!"), QStringLiteral("bank.bmp"));
    db.AddWebsiteProfile(false, QStringLiteral("Forum"), QStringLiteral("https://forum.example/"),
                         QStringLiteral("jane"), QStringLiteral("pw"), QString());
    db.setINIAutoSignIn(QStringLiteral("1"));
    {
        frmMain window(services);
        window.show();
        settle(2500);
        auto *list = window.findChild<QComboBox *>(QStringLiteral("cboWP"));
        list->showPopup();
        settle(300);
        ok &= save(&window, out + QStringLiteral("/main-profiles.png"));
        list->hidePopup();

        list->setCurrentIndex(1);
        emit list->activated(1);
        if (!QTest::qWaitFor([&] { return window.tabs().wbPage(0)->title().startsWith(QStringLiteral("Example")); },
                             15000))
            qWarning("the sample page did not load");
        settle(1500);
        ok &= save(&window, out + QStringLiteral("/main-chosen.png"));

        frmWebsiteProfile editor(db, messages, files, &window);
        editor.EditWP(1);
        editor.show();
        settle(500);
        ok &= save(&editor, out + QStringLiteral("/editor.png"));
    }
    return ok ? 0 : 1;
}
