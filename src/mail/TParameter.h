#pragma once

#include <QtGlobal>

/**
 * @short One personalisation placeholder found in the message text.
 *
 * Positions are 0-based indices into the message text T (TESettings::MessageBody():
 * every line of the message followed by CR LF), counted in QString (UTF-16) units,
 * so T.mid(Pos, Size) is the placeholder itself and T.mid(DropStart, DropLength)
 * the span to remove.
 *
 * The substitution works through the placeholders in list order (descending Pos,
 * from the end of T towards its start, so earlier positions stay valid): for an
 * empty value and HasDropSpan() the DropLength characters at DropStart are removed;
 * otherwise the Size characters at Pos are replaced by the value.
 */
struct TParameter {
    /** First character: the '%' of "%n", the '[' of "[%n]". */
    qsizetype Pos = 0;
    /** 2 for "%n", 4 for "[%n]". */
    qsizetype Size = 0;
    /** The digit: 0 the recipient's address, 1..9 its list parameters. */
    int Index = 0;
    /** Start of the line or paragraph to remove when the value is empty; 0 when there is none. */
    qsizetype DropStart = 0;
    /** Length of that span; 0 when there is none. */
    qsizetype DropLength = 0;

    bool HasDropSpan() const { return DropLength > 0; }
    bool operator==(const TParameter &) const = default;
};
