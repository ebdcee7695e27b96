#pragma once

#include "MsgDlgs.h"

#include <QList>
#include <QString>

/**
 * @short Catches every message box while it lives: records type and text and
 * answers Yes/No questions from a queue (Yes when the queue is empty).
 */
class MessageBoxRecorder {
public:
    struct Box {
        MsgDlgType type;
        QString text;
    };

    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    void QueueAnswer(bool yes) { m_answers.append(yes); }
    const QList<Box> &Boxes() const { return m_boxes; }
    void Clear() { m_boxes.clear(); }

private:
    QList<Box> m_boxes;
    QList<bool> m_answers;
};
