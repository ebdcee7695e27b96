#include "MessageBoxRecorder.h"

MessageBoxRecorder::MessageBoxRecorder()
{
    SetMessageBoxHook([this](MsgDlgType type, const QString &text) {
        m_boxes.append({type, text});
        return m_answers.isEmpty() ? true : m_answers.takeFirst();
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    SetMessageBoxHook(nullptr);
}
