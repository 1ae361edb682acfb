#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

// A small HTTP server on 127.0.0.1 for tests: answers GET with the registered pages and records
// every request, POST bodies included. Each answer closes its connection.
class LoginPageServer : public QObject
{
    Q_OBJECT
public:
    struct Post
    {
        QString path;
        QByteArray body;

        // The form fields, decoded as a browser encodes them (UTF-8, '+' for a blank).
        QList<QPair<QString, QString>> fields() const
        {
            QList<QPair<QString, QString>> result;
            for (const QByteArray &pair : body.split('&')) {
                if (pair.isEmpty())
                    continue;
                const int eq = pair.indexOf('=');
                auto decode = [](QByteArray s) {
                    return QUrl::fromPercentEncoding(s.replace('+', ' '));
                };
                result.append({decode(pair.left(eq)), eq < 0 ? QString() : decode(pair.mid(eq + 1))});
            }
            return result;
        }
        QString field(const QString &name) const
        {
            for (const auto &f : fields()) {
                if (f.first == name)
                    return f.second;
            }
            return QStringLiteral("<missing>");
        }
    };

    explicit LoginPageServer(QObject *parent = nullptr) : QObject(parent)
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, this, [this, socket] { m_buffers.remove(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool isListening() const { return m_server.isListening(); }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    QString url(const QString &path) const { return base() + path; }

    // GET path answers html; a page may be delayed to keep its load running.
    void setPage(const QString &path, const QByteArray &html, int delayMs = 0) { m_pages[path] = {html, delayMs, {}}; }
    void setRedirect(const QString &path, const QString &to) { m_pages[path] = {{}, 0, to}; }
    // What a POST to path answers (a plain welcome page when nothing is set).
    void setPostAnswer(const QString &path, const QByteArray &html) { m_postAnswers[path] = html; }

    int getCount(const QString &path) const { return m_gets.count(path); }

    QList<Post> posts;

signals:
    void postReceived();

private:
    struct Page
    {
        QByteArray html;
        int delayMs = 0;
        QString redirect;
    };

    void read(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        const int headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
        qsizetype length = 0;
        for (const QByteArray &line : lines) {
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        }
        if (buffer.size() < headerEnd + 4 + length)
            return;
        const QByteArray method = request.value(0);
        const QString path = QString::fromLatin1(request.value(1));
        const QByteArray body = buffer.mid(headerEnd + 4, length);
        m_buffers.remove(socket);
        disconnect(socket, &QTcpSocket::readyRead, this, nullptr);

        if (method == "POST") {
            posts.append({path, body});
            answer(socket, "200 OK",
                   m_postAnswers.value(path, "<html><head><title>Welcome</title></head><body>Welcome</body></html>"));
            emit postReceived();
            return;
        }
        m_gets.append(path);
        const auto page = m_pages.constFind(path);
        if (page == m_pages.constEnd()) {
            answer(socket, "404 Not Found", "<html><body>Not found</body></html>");
        } else if (!page->redirect.isEmpty()) {
            answer(socket, "302 Found", {}, "Location: " + page->redirect.toUtf8() + "\r\n");
        } else if (page->delayMs > 0) {
            QTimer::singleShot(page->delayMs, socket,
                               [this, socket, html = page->html] { answer(socket, "200 OK", html); });
        } else {
            answer(socket, "200 OK", page->html);
        }
    }

    void answer(QTcpSocket *socket, const QByteArray &status, const QByteArray &html, const QByteArray &extra = {})
    {
        socket->write("HTTP/1.1 " + status +
                      "\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\n" + extra +
                      "Content-Length: " + QByteArray::number(html.size()) + "\r\nConnection: close\r\n\r\n" + html);
        socket->disconnectFromHost();
    }

    QHash<QString, Page> m_pages;
    QHash<QString, QByteArray> m_postAnswers;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QStringList m_gets;
    QTcpServer m_server; // last, so that its sockets go before the tables they report to
};
