#include "ErrorGuard.h"

#include "AppError.h"
#include "MsgDlgs.h"

#include <QString>

#include <exception>

bool RunGuarded(const std::function<void()> &operation)
{
    try {
        operation();
        return true;
    } catch (const AppError &error) {
        ErrorBox(error.Message());
    } catch (const std::exception &error) {
        ErrorBox(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ErrorBox(QStringLiteral("Unexpected error."));
    }
    return false;
}
