#include "HelpKey.h"

#include "ErrorGuard.h"
#include "WebEmail.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

/** @short Sees every key of the application and answers F1 for one window. */
class HelpKeyFilter final : public QObject {
public:
    explicit HelpKeyFilter(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_F1)
            return false;
        // A key reaches the focus widget first, then each parent: answering the
        // first delivery opens the page once.
        auto *widget = qobject_cast<QWidget *>(watched);
        const QWidget *first = QApplication::focusWidget() ? QApplication::focusWidget() : m_window;
        if (!widget || widget != first || widget->window() != m_window)
            return false;
        RunGuarded([] { OpenHelpPage(); });
        return true;
    }

private:
    QWidget *const m_window;
};

} // namespace

void InstallHelpKey(QWidget *window)
{
    new HelpKeyFilter(window);
}
