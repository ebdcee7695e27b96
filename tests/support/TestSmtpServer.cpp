#include "TestSmtpServer.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

QList<QJsonObject> ReadRecords(const QString &folder, const QString &pattern)
{
    QList<QJsonObject> records;
    const QDir dir(folder);
    // Zero-padded numbers: name order is record order.
    for (const QString &name : dir.entryList({pattern}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            records.append(QJsonDocument::fromJson(file.readAll()).object());
    }
    return records;
}

QStringList ToStringList(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &item : value.toArray())
        list.append(item.toString());
    return list;
}

} // namespace

QString RecordedMessage::Header(const QString &name) const
{
    for (const RecordedHeader &h : Headers)
        if (h.Name.compare(name, Qt::CaseInsensitive) == 0)
            return h.Decoded;
    return {};
}

QString RecordedMessage::RawHeader(const QString &name) const
{
    for (const RecordedHeader &h : Headers)
        if (h.Name.compare(name, Qt::CaseInsensitive) == 0)
            return h.Raw;
    return {};
}

bool RecordedMessage::HasHeader(const QString &name) const
{
    for (const RecordedHeader &h : Headers)
        if (h.Name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QByteArray RecordedMessage::HeaderBlock() const
{
    const qsizetype end = Data.indexOf("\r\n\r\n");
    return end < 0 ? Data : Data.left(end + 2);
}

TestSmtpServer::TestSmtpServer(const TestSmtpServerOptions &options)
{
    if (!m_records.isValid())
        throw std::runtime_error("TestSmtpServer: no temporary folder");
    QStringList args{QStringLiteral(VC_SMTP_TEST_SERVER),
                     u"--record-dir"_s,
                     m_records.path(),
                     u"--user"_s,
                     options.User,
                     u"--password"_s,
                     options.Password};
    if (options.RefuseAuth)
        args << u"--refuse-auth"_s;
    if (options.RequireAuth)
        args << u"--require-auth"_s;
    for (const QString &address : options.RefuseRecipients)
        args << u"--refuse-rcpt"_s << address;
    if (options.DropAfter > 0)
        args << u"--drop-after"_s << QString::number(options.DropAfter);
    for (const auto &[address, reply] : options.HangUpRecipients)
        args << u"--hang-up-rcpt"_s << address + u'=' + reply;
    if (options.RequireStartTls)
        args << u"--require-starttls"_s;
    if (options.LegacyTls)
        args << u"--legacy-tls"_s;

    m_server = std::make_unique<PythonServer>(args);
    const QJsonObject ports = QJsonDocument::fromJson(m_server->FirstLine()).object();
    m_plainPort = static_cast<quint16>(ports.value(u"plain"_s).toInt());
    m_startTlsPort = static_cast<quint16>(ports.value(u"starttls"_s).toInt());
    m_tlsPort = static_cast<quint16>(ports.value(u"tls"_s).toInt());
    m_silentPort = static_cast<quint16>(ports.value(u"silent"_s).toInt());
    m_silentTlsPort = static_cast<quint16>(ports.value(u"silenttls"_s).toInt());
    if (!m_plainPort || !m_startTlsPort || !m_tlsPort || !m_silentPort || !m_silentTlsPort)
        throw std::runtime_error("TestSmtpServer: no ports line");
}

quint16 TestSmtpServer::UnusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QList<RecordedMessage> TestSmtpServer::Messages() const
{
    QList<RecordedMessage> messages;
    for (const QJsonObject &o : ReadRecords(m_records.path(), u"message-*.json"_s)) {
        RecordedMessage m;
        m.Index = o.value(u"index"_s).toInt();
        m.Session = o.value(u"session"_s).toInt();
        m.Listener = o.value(u"listener"_s).toString();
        m.Tls = o.value(u"tls"_s).toBool();
        m.TlsVersion = o.value(u"tls_version"_s).toString();
        m.AuthUser = o.value(u"auth_user"_s).toString();
        m.MailFrom = o.value(u"mail_from"_s).toString();
        m.RcptTos = ToStringList(o.value(u"rcpt_tos"_s));
        m.Data = QByteArray::fromBase64(o.value(u"data_base64"_s).toString().toLatin1());
        for (const QJsonValue &h : o.value(u"headers"_s).toArray()) {
            const QJsonArray a = h.toArray();
            m.Headers.append({a.at(0).toString(), a.at(1).toString(), a.at(2).toString()});
        }
        for (const QJsonValue &p : o.value(u"parts"_s).toArray()) {
            const QJsonObject po = p.toObject();
            m.Parts.append({po.value(u"content_type"_s).toString(), po.value(u"charset"_s).toString(),
                            po.value(u"filename"_s).toString(), po.value(u"transfer_encoding"_s).toString(),
                            QByteArray::fromBase64(po.value(u"payload_base64"_s).toString().toLatin1()),
                            po.value(u"text"_s).toString()});
        }
        messages.append(m);
    }
    return messages;
}

QList<RecordedSession> TestSmtpServer::Sessions() const
{
    QList<RecordedSession> sessions;
    for (const QJsonObject &o : ReadRecords(m_records.path(), u"session-*.json"_s)) {
        RecordedSession s;
        s.Session = o.value(u"session"_s).toInt();
        s.Listener = o.value(u"listener"_s).toString();
        s.Tls = o.value(u"tls"_s).toBool();
        s.TlsVersion = o.value(u"tls_version"_s).toString();
        s.AuthUser = o.value(u"auth_user"_s).toString();
        s.Commands = ToStringList(o.value(u"commands"_s));
        s.Messages = o.value(u"messages"_s).toInt();
        sessions.append(s);
    }
    return sessions;
}

testing::AssertionResult TestSmtpServer::WaitForMessages(int count) const
{
    if (QTest::qWaitFor([&] { return Messages().size() >= count; }, HangGuardMs))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the test server had recorded " << Messages().size() << " of " << count
                                       << " messages after " << HangGuardMs / 1000 << " s";
}

testing::AssertionResult TestSmtpServer::WaitForSessions(int count) const
{
    if (QTest::qWaitFor([&] { return Sessions().size() >= count; }, HangGuardMs))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the test server had seen " << Sessions().size() << " of " << count
                                       << " connections close after " << HangGuardMs / 1000 << " s";
}
