#pragma once
// Shared pieces of the registry tests: a fresh database, rows, a tiny HTTP
// server for the postal-code service.

#include "data/Database.h"
#include "data/Dataset.h"

#include <QByteArray>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>
#include <functional>

namespace regtest {

struct Fresh {
    QTemporaryDir dir;
    brelvo::data::DatabasePtr db;
    Fresh() { db = brelvo::data::Database::open(dir.path(), true); }
};

inline void addRow(brelvo::data::Table &t, std::initializer_list<std::pair<const char *, QVariant>> values)
{
    t.append();
    for (const auto &[f, v] : values)
        t.setValue(QString::fromUtf8(f), v);
    t.post();
}

// A control of a window by object name; a missing one ends the test run.
template <typename T = QPushButton>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

inline void click(QWidget *w, const char *name) { QTest::mouseClick(child(w, name), Qt::LeftButton); }

inline QStringList column(brelvo::data::Dataset &t, const QString &field)
{
    QStringList out;
    for (t.first(); !t.eof(); t.next())
        out << t.asString(field);
    return out;
}

// Rows of a table read through a cursor of its own, in the given order.
inline QStringList columnOf(brelvo::data::DatabasePtr db, const QString &table, const QString &field,
                            const QString &index = QString())
{
    brelvo::data::Table t(db, table);
    if (!index.isEmpty())
        t.setIndexFieldNames(index);
    t.open();
    return column(t, field);
}

// Types text key by key, accents included (the user's typing, not setText).
inline void type(QWidget *w, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 128) {
            QTest::keyClicks(w, QString(ch));
        } else {
            QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
}

// Answers GET requests with a body chosen from the request's query.
class HttpStub : public QTcpServer {
public:
    std::function<QByteArray(const QUrlQuery &query, const QString &path)> reply;
    QStringList requests;   // request targets, as received

    HttpStub()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray req = s->readAll();
                    const QList<QByteArray> first = req.split('\r').value(0).split(' ');
                    const QString target = QString::fromLatin1(first.value(1));
                    requests << target;
                    const QUrl url(QStringLiteral("http://x") + target);
                    const QByteArray body = reply ? reply(QUrlQuery(url.query()), url.path()) : QByteArray();
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\nContent-Length: "
                             + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
};

} // namespace regtest
