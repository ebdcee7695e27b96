#include "SMTPChck.h"

#include "SmtpError.h"

using namespace Qt::StringLiterals;

TConnectionThread::~TConnectionThread()
{
    Finish();
}

void TConnectionThread::Run()
{
    Success = false;
    QString text = u"Connection could not be established.\r\nPlease verify the settings and try again."_s;
    std::unique_ptr<SmtpSession> session;
    try {
        session = NewSession();
        session->Connect();
        if (WantsAuthentication()) {
            text = u"Authentication failed.\r\nPlease verify the settings and try again."_s;
            session->Authenticate();
            text = u"Connection and authentication successfully verified!"_s;
        } else {
            text = u"Connection successfully verified!"_s;
        }
        Success = true;
    } catch (const SmtpError &e) {
        text += u"\r\n\r\nError: "_s + e.Message();
    } catch (const std::exception &e) {
        text += u"\r\n\r\nError: "_s + QString::fromUtf8(e.what());
    }
    CloseSession(session, !Success);
    SetText(text);
}
