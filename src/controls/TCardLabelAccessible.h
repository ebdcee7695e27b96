#pragma once

#include <QAccessibleWidget>

class TCardLabel;

/**
 * @short What assistive technology sees of a TCardLabel: a link is a push
 * button named by its caption with a "Press" action; a plain label is static
 * text named by its caption.
 */
class TCardLabelAccessible : public QAccessibleWidget {
public:
    explicit TCardLabelAccessible(TCardLabel *label);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    TCardLabel *Label() const;
};

/** Registers the factory of TCardLabelAccessible (once; later calls do nothing). */
void InstallCardLabelAccessibility();
