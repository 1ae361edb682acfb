#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

// A website with one login page, on 127.0.0.1: GET /login serves a form with a text field, a password field
// and a submit button; its POST to /session is recorded field by field.
class LoginPageServer : public QObject
{
    Q_OBJECT
public:
    explicit LoginPageServer(QObject *parent = nullptr);

    bool listen();
    QString loginUrl() const;
    QString errorString() const { return m_server.errorString(); }

    // Fields of every form posted so far, in order.
    QList<QHash<QString, QString>> posts() const { return m_posts; }
    // Request lines ("GET /login") in order, for failure messages.
    QStringList requests() const { return m_requests; }

private:
    void serve(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QByteArray &requestLine, const QByteArray &body);

    QTcpServer m_server;
    QList<QHash<QString, QString>> m_posts;
    QStringList m_requests;
};
