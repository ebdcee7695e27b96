#include "BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QThread>

BusyCursor::BusyCursor()
    : m_active(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr
               && QThread::currentThread() == QCoreApplication::instance()->thread())
{
    if (m_active)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor()
{
    if (m_active)
        QGuiApplication::restoreOverrideCursor();
}
