#include "loginpageserver.h"

#include <QTcpSocket>
#include <QUrlQuery>

namespace {
const QByteArray kLoginPage = "<!DOCTYPE html><html><head><title>Members sign in</title></head><body>"
                              "<h1>Members sign in</h1>"
                              "<form method=\"post\" action=\"/session\">"
                              "<p>Login <input type=\"text\" name=\"login\"></p>"
                              "<p>Password <input type=\"password\" name=\"password\"></p>"
                              "<p><input type=\"submit\" value=\"Sign in\"></p>"
                              "</form></body></html>";
const QByteArray kWelcomePage = "<!DOCTYPE html><html><head><title>Welcome</title></head>"
                                "<body><h1>You are signed in.</h1></body></html>";

QByteArray response(const QByteArray &status, const QByteArray &body)
{
    return "HTTP/1.1 " + status +
        "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " + QByteArray::number(body.size()) +
        "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + body;
}
} // namespace

LoginPageServer::LoginPageServer(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool LoginPageServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost);
}

QString LoginPageServer::loginUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/login").arg(m_server.serverPort());
}

// Answers once the whole request (headers and the body its Content-Length announces) has arrived.
void LoginPageServer::serve(QTcpSocket *socket)
{
    const QByteArray data = socket->peek(socket->bytesAvailable());
    const qsizetype headerEnd = data.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    qsizetype contentLength = 0;
    const QList<QByteArray> lines = data.left(headerEnd).split('\n');
    for (const QByteArray &line : lines) {
        if (line.toLower().startsWith("content-length:"))
            contentLength = line.mid(15).trimmed().toLongLong();
    }
    if (data.size() < headerEnd + 4 + contentLength)
        return;
    socket->readAll();
    answer(socket, lines.value(0).trimmed(), data.mid(headerEnd + 4, contentLength));
}

void LoginPageServer::answer(QTcpSocket *socket, const QByteArray &requestLine, const QByteArray &body)
{
    const QList<QByteArray> parts = requestLine.split(' ');
    const QByteArray method = parts.value(0);
    const QByteArray path = parts.value(1);
    m_requests << QString::fromLatin1(method + ' ' + path);

    if (method == "GET" && path == "/login") {
        socket->write(response("200 OK", kLoginPage));
    } else if (method == "POST" && path == "/session") {
        QHash<QString, QString> fields;
        QByteArray form = body;
        form.replace('+', ' ');
        const QUrlQuery query(QString::fromUtf8(form));
        for (const auto &[name, value] : query.queryItems(QUrl::FullyDecoded))
            fields.insert(name, value);
        m_posts.append(fields);
        socket->write(response("200 OK", kWelcomePage));
    } else {
        socket->write(response("404 Not Found", "<html><body>Not found</body></html>"));
    }
    socket->disconnectFromHost();
}
