#pragma once

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

#include <functional>

// A website on 127.0.0.1 for tests: answers with the registered pages, whatever the query (a plain welcome page
// for any POST, 404 for anything else) and records every request. Each answer closes its connection.
class PageServer : public QObject
{
public:
    struct Request
    {
        QByteArray method, path, cookie; // the Cookie header as sent
        QUrlQuery form; // a POST's fields, decoded as browsers encode them
    };
    QList<Request> requests;
    std::function<void()> onPost; // called as a form arrives, before it is answered

    PageServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    // A page kept in tests/data/pages.
    static QByteArray file(const QString &name)
    {
        QFile f(qEnvironmentVariable("VAULTRY_SOURCE_DIR") + "/tests/data/pages/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : "missing page " + name.toUtf8();
    }
    // What "GET /path" (or "POST /path") answers, after a delay if asked; headers are extra lines ending in CRLF, in
    // which %user% stands for the form's field "user"; %cookie% in the page stands for the cookie received.
    void setPage(const QString &request, const QByteArray &html, int delayMs = 0, const QByteArray &headers = {})
    {
        m_pages[request.contains(' ') ? request.toUtf8() : "GET " + request.toUtf8()] = {html, delayMs, headers};
    }
    QList<Request> posts() const
    {
        QList<Request> result;
        std::copy_if(requests.begin(), requests.end(), std::back_inserter(result),
                     [](auto &r) { return r.method == "POST"; });
        return result;
    }

private:
    struct Page
    {
        QByteArray html;
        int delayMs;
        QByteArray headers;
    };
    void read(QTcpSocket *socket)
    {
        const QByteArray data = socket->peek(socket->bytesAvailable());
        const qsizetype end = data.indexOf("\r\n\r\n");
        const QList<QByteArray> lines = data.left(end).split('\n');
        Request r {lines[0].split(' ').value(0), lines[0].split(' ').value(1), {}, {}};
        qsizetype length = 0;
        for (const QByteArray &line : lines) {
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
            else if (line.toLower().startsWith("cookie:"))
                r.cookie = line.mid(7).trimmed();
        }
        if (end < 0 || data.size() < end + 4 + length)
            return; // the rest is on its way
        disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
        r.form.setQuery(QString::fromUtf8(socket->readAll().mid(end + 4).replace('+', ' ')));
        requests.append(r);
        if (r.method == "POST" && onPost)
            onPost();
        const Page welcome {"<title>Welcome</title>Welcome", 0, {}};
        Page page = m_pages.value(r.method + ' ' + r.path.split('?')[0], r.method == "POST" ? welcome : Page {});
        page.headers.replace("%user%", r.form.queryItemValue("user").toUtf8()); // a session cookie per account
        page.html.replace("%cookie%",
                          QString::fromUtf8(r.cookie).toHtmlEscaped().toUtf8()); // what a site knows of its visitor
        const QByteArray status = page.headers.startsWith("Location") ? "302 Found"
            : page.html.isEmpty()                                     ? "404 Not Found"
                                                                      : "200 OK";
        QTimer::singleShot(page.delayMs, socket, [socket, status, page] {
            socket->write("HTTP/1.1 " + status +
                          "\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\n" + page.headers +
                          "Content-Length: " + QByteArray::number(page.html.size()) + "\r\nConnection: close\r\n\r\n" +
                          page.html);
            socket->disconnectFromHost();
        });
    }
    QHash<QByteArray, Page> m_pages;
    QTcpServer m_server; // last, so that its sockets go before the table they use
};
