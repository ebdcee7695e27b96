#include "TButtonText.h"

#include "TCardLabel.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

#include <algorithm>

using namespace Qt::StringLiterals;

TButtonText::TButtonText(QWidget *parent)
    : TXPPanel(parent)
{
}

void TButtonText::Setup(int tag, bool pathEllipsis, bool editable)
{
    SetColor(clWindow);
    m_tag = tag;
    m_editable = editable;

    // One text line: the height the value label takes for its caption.
    m_labelHeight = QFontMetrics(font()).height();
    resize(width(), m_labelHeight + 8);
    m_topOffset = (contentsRect().height() - m_labelHeight) / 2;

    if (editable) {
        m_edit = new QLineEdit(this);
        m_edit->setFrame(false);
        QPalette pal = m_edit->palette();
        pal.setColor(QPalette::Base, ColorFromBGR(Color()));
        // The selection stays visible when the edit loses the focus.
        pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     pal.color(QPalette::Active, QPalette::HighlightedText));
        m_edit->setPalette(pal);
        m_edit->installEventFilter(this);
    } else {
        m_valueLabel = new TCardLabel(this);
        m_valueLabel->SetSingleLine(true);
        m_valueLabel->SetPathEllipsis(pathEllipsis);
        m_valueLabel->SetTag(tag);
        connect(m_valueLabel, &TCardLabel::clicked, this, [this] { emit Clicked(m_tag); });
        m_valueLabel->move(contentsRect().left() + m_gap, contentsRect().top() + m_topOffset);
    }

    m_button = new QToolButton(this);
    QFont dots;
    dots.setFamily(u"MS Sans Serif"_s);
    m_button->setFont(dots);
    m_button->setText(QString(3, QChar(0x00B7)));
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->resize(m_labelHeight + 4, m_button->height());
    connect(m_button, &QToolButton::clicked, this, [this] { emit Clicked(m_tag); });

    LayoutParts();
}

void TButtonText::SetBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, width, height);
    LayoutParts();
}

void TButtonText::LayoutParts()
{
    if (!m_button)
        return;
    const QRect client = contentsRect();
    const int s = client.height();
    const int x = client.width() - s;
    m_button->setGeometry(client.left() + x, client.top(), s, s);
    m_valueWidth = x - 4;
    // A field narrower than its button leaves no room: 0, never the "no bound" of a negative MaxWidth.
    if (m_valueLabel)
        m_valueLabel->SetMaxWidth(std::max(m_valueWidth, 0));
    if (m_edit)
        m_edit->setGeometry(client.left() + m_gap, client.top() + m_topOffset, m_valueWidth, m_labelHeight + 2);
}

QString TButtonText::GetText() const
{
    if (m_edit)
        return m_edit->text();
    if (m_valueLabel)
        return m_valueLabel->Caption();
    return {};
}

void TButtonText::SetText(const QString &text)
{
    if (m_edit)
        m_edit->setText(text);
    else if (m_valueLabel)
        m_valueLabel->SetCaption(text);
}

void TButtonText::resizeEvent(QResizeEvent *event)
{
    TXPPanel::resizeEvent(event);
    LayoutParts();
}

void TButtonText::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void TButtonText::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (m_button && !m_editable && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Clicked(m_tag);
}

bool TButtonText::eventFilter(QObject *watched, QEvent *event)
{
    // Auto-select: reaching the edit by keyboard selects the whole value.
    if (watched == m_edit && event->type() == QEvent::FocusIn
        && static_cast<QFocusEvent *>(event)->reason() != Qt::MouseFocusReason)
        m_edit->selectAll();
    return TXPPanel::eventFilter(watched, event);
}
