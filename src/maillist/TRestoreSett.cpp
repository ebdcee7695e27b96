#include "TRestoreSett.h"

#include "IniFile.h"
#include "StartupEnv.h"

using namespace Qt::StringLiterals;

namespace {

const QString Section = u"RestorePar"_s;

TIniPar MakeOption(int i)
{
    return TIniPar(iptBoolean, RestoreOptionKeys[size_t(i)].toString(), u"1"_s);
}

} // namespace

TRestoreSett::TRestoreSett(QObject *owner)
    : QObject(owner)
    , m_options{MakeOption(0), MakeOption(1), MakeOption(2), MakeOption(3)}
{
}

TRestoreSett::~TRestoreSett() = default;

QString TRestoreSett::FileName()
{
    return ProgramDir() + u"bry_rstr.ini"_s;
}

void TRestoreSett::LoadSaveRestoreOptions(bool write)
{
    IniFile ini(FileName());
    for (TIniPar &option : m_options) {
        // What the file lacks reads as the default, not as the value in memory.
        if (!write)
            option.Reset();
        option.ReadWrite(write, &ini, Section, option.Key);
    }
    if (write)
        ini.UpdateFile();
}
