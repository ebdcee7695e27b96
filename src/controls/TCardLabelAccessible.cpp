#include "TCardLabelAccessible.h"

#include "TCardLabel.h"

namespace {

QAccessibleInterface *CardLabelFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TCardLabel") && object && object->isWidgetType())
        return new TCardLabelAccessible(static_cast<TCardLabel *>(object));
    return nullptr;
}

} // namespace

TCardLabelAccessible::TCardLabelAccessible(TCardLabel *label)
    : QAccessibleWidget(label)
{
}

TCardLabel *TCardLabelAccessible::Label() const
{
    return static_cast<TCardLabel *>(widget());
}

QAccessible::Role TCardLabelAccessible::role() const
{
    return Label()->IsLink() ? QAccessible::Button : QAccessible::StaticText;
}

QString TCardLabelAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name) {
        const QString name = widget()->accessibleName();
        return name.isEmpty() ? Label()->Caption() : name;
    }
    if (t == QAccessible::Help || t == QAccessible::Description) {
        const QString own = QAccessibleWidget::text(t);
        return own.isEmpty() ? widget()->statusTip() : own;
    }
    return QAccessibleWidget::text(t);
}

QStringList TCardLabelAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (Label()->IsLink() && widget()->isEnabled())
        names.prepend(pressAction());
    return names;
}

void TCardLabelAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction()) {
        if (Label()->IsLink())
            Label()->Click();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

void InstallCardLabelAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(CardLabelFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
