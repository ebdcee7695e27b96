#pragma once

#include <QString>
#include <QStringView>

// The line breaks of the user's message file, kept when it is written again.

/** The line break a text uses: that of its first line break, CR LF when it has none. */
QString LineBreakOf(QStringView text);

/** A message text T (every line ended by CR LF) with every CR LF replaced by lineBreak. */
QString WithLineBreak(const QString &t, const QString &lineBreak);
