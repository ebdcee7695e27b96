#include "TBodyView.h"

#include "BodyParagraphs.h"

#include <QPaintEvent>
#include <QTextBlock>

TBodyView::TBodyView(QWidget *parent)
    : QPlainTextEdit(parent)
{
}

void TBodyView::ShowText(QStringView text)
{
    ReplaceChangedParagraphs(*document(), text, LastShownParagraph());
}

int TBodyView::LastShownParagraph() const
{
    QTextBlock block = firstVisibleBlock();
    int last = block.blockNumber();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    while (block.isValid() && top < viewport()->height()) {
        last = block.blockNumber();
        top += blockBoundingRect(block).height();
        block = block.next();
    }
    return last;
}

void TBodyView::paintEvent(QPaintEvent *event)
{
    // The plain-text view draws every paragraph within the bounding rectangle
    // of what is to be painted. For the next recipient of a job that is the
    // greeting and a line further down: the paragraphs in between would be
    // drawn again for nothing.
    if (event->region().rectCount() <= 1) {
        QPlainTextEdit::paintEvent(event);
        return;
    }
    for (const QRect &rect : event->region()) {
        QPaintEvent part(rect);
        QPlainTextEdit::paintEvent(&part);
    }
}
