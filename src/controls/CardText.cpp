#include "CardText.h"

#include <QFontMetrics>
#include <QTextLayout>

#include <algorithm>

namespace {

const QChar Ellipsis(0x2026);

QStringList Paragraphs(const QString &text)
{
    QString plain = text;
    plain.remove(QLatin1Char('\r'));
    return plain.split(QLatin1Char('\n'));
}

} // namespace

QStringList CardTextLines(const QFont &font, const QString &text, int width, bool wordWrap)
{
    const QStringList paragraphs = Paragraphs(text);
    if (!wordWrap)
        return paragraphs;

    QStringList lines;
    for (const QString &paragraph : paragraphs) {
        if (paragraph.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(width, 1));
            lines << paragraph.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
    }
    return lines;
}

QString ElideCardLine(const QFontMetrics &metrics, const QString &line, int width, bool pathEllipsis)
{
    if (metrics.horizontalAdvance(line) <= width)
        return line;
    if (!pathEllipsis)
        return metrics.elidedText(line, Qt::ElideRight, width);

    const qsizetype separator = std::max(line.lastIndexOf(QLatin1Char('/')), line.lastIndexOf(QLatin1Char('\\')));
    if (separator <= 0)
        return metrics.elidedText(line, Qt::ElideMiddle, width);

    const QString name = line.mid(separator);
    const int room = width - metrics.horizontalAdvance(Ellipsis) - metrics.horizontalAdvance(name);
    if (room < 0)
        return metrics.elidedText(Ellipsis + name, Qt::ElideRight, width);
    qsizetype keep = separator;
    while (keep > 0 && metrics.horizontalAdvance(line.left(keep)) > room)
        --keep;
    return line.left(keep) + Ellipsis + name;
}
