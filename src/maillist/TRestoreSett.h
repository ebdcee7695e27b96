#pragma once

#include "TIniPar.h"

#include <QObject>
#include <QStringView>

#include <array>
#include <cstdint>

/** Index of a workspace-restore option. */
enum RestoreOption : std::uint8_t {
    rpRestoreCon = 0,  // the connection settings
    rpRestoreMsg = 1,  // the message and its settings
    rpRestoreLst = 2,  // the mailing list
    rpClearStatus = 3, // every recipient back to "not sent" afterwards
};
inline constexpr int RestoreOptionCount = 4;

/** INI keys of the options, by RestoreOption. */
inline constexpr std::array<QStringView, RestoreOptionCount> RestoreOptionKeys{u"rpRestoreCon", u"rpRestoreMsg",
                                                                               u"rpRestoreLst", u"rpClearStatus"};
/** Check-box captions of the options, by RestoreOption. */
inline constexpr std::array<QStringView, RestoreOptionCount> RestoreOptionCaptions{
    u"Restore connection settings", u"Restore message and message settings", u"Restore mailing list",
    u"Reset status to \"Not sent\" for all recipients"};

/**
 * @short The four choices of a workspace restore, kept in "bry_rstr.ini" so
 * that the next restore offers the previous choices. All are on by default.
 */
class TRestoreSett final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TRestoreSett)

public:
    explicit TRestoreSett(QObject *owner = nullptr);
    ~TRestoreSett() override;

    /** The option's parameter: GetBool / SetBool. */
    TIniPar &Option(RestoreOption i) { return m_options[i]; }
    const TIniPar &Option(RestoreOption i) const { return m_options[i]; }
    bool IsOn(RestoreOption i) const { return m_options[i].GetBool(); }

    /**
     * Reads the options from the file (a missing file, section or key reads
     * as on), or writes them; throws AppError when the file cannot be written.
     */
    void LoadSaveRestoreOptions(bool write);

    /** "bry_rstr.ini" in the data folder. */
    static QString FileName();

private:
    std::array<TIniPar, RestoreOptionCount> m_options;
};
