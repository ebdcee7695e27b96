#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

/**
 * @short The small progress window of long list operations: a caption, one
 * line of text, a bar and a (greyed) Cancel button. At most one exists.
 */
class TProgress final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TProgress)

public:
    explicit TProgress(QWidget *parent = nullptr);
    ~TProgress() override;

    QLabel *LblName;
    QProgressBar *PBar;
    QPushButton *BtnCancel;

    /** Starts the bar anew at 0 of maximum. */
    void Restart(int maximum);
    /** Advances by one step; keeps the program painted without taking user input. */
    void Step();
    /** Steps taken since the bar started. */
    int Position() const { return m_position; }
    /** Shows the position and lets pending painting run; user input waits until the operation ends. */
    void ProcessPaintEvents();

private:
    QElapsedTimer m_sinceEvents;
    int m_position = 0;
};

/** Shows the box (or reuses the one shown) with a new caption, text and an empty bar up to maximum. */
void ShowProgress(const QString &caption, const QString &text, int maximum, bool cancelEnabled);
/** Advances the bar by one; nothing without a box. */
void StepProgress();
/** Closes the box; nothing without one. */
void CloseProgress();
/** The box shown, or null. */
TProgress *CurrentProgress();

/** @short Closes the progress box when it goes out of scope (also on an error). */
class TProgressCloser {
public:
    TProgressCloser() = default;
    ~TProgressCloser() { CloseProgress(); }
    TProgressCloser(const TProgressCloser &) = delete;
    TProgressCloser &operator=(const TProgressCloser &) = delete;
};
