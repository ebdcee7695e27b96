#include "TMimeTable.h"

#include "TextHelpers.h"

#include <QMimeDatabase>

#include <algorithm>

using namespace Qt::StringLiterals;

const QStringList &TMimeTable::FixedRows()
{
    // Order matters: of two rows with one name the first is the one found.
    static const QStringList rows = {
        u".aiff=audio/x-aiff"_s,
        u".au=audio/basic"_s,
        u".mid=midi/mid"_s,
        u".mp3=audio/x-mpg"_s,
        u".m3u=audio/x-mpegurl"_s,
        u".qcp=audio/vnd.qcelp"_s,
        u".ra=audio/x-realaudio"_s,
        u".wav=audio/x-wav"_s,
        u".gsm=audio/x-gsm"_s,
        u".wax=audio/x-ms-wax"_s,
        u".wma=audio/x-ms-wma"_s,
        u".ram=audio/x-pn-realaudio"_s,
        u".mjf=audio/x-vnd.AudioExplosion.MjuiceMediaFile"_s,
        u".bmp=image/bmp"_s,
        u".gif=image/gif"_s,
        u".jpg=image/jpeg"_s,
        u".jpeg=image/jpeg"_s,
        u".jpe=image/jpeg"_s,
        u".pict=image/x-pict"_s,
        u".png=image/x-png"_s,
        u".svg=image/svg-xml"_s,
        u".tif=image/x-tiff"_s,
        u".rf=image/vnd.rn-realflash"_s,
        u".rp=image/vnd.rn-realpix"_s,
        u".ico=image/x-icon"_s,
        u".art=image/x-jg"_s,
        u".pntg=image/x-macpaint"_s,
        u".qtif=image/x-quicktime"_s,
        u".sgi=image/x-sgi"_s,
        u".targa=image/x-targa"_s,
        u".xbm=image/xbm"_s,
        u".psd=image/x-psd"_s,
        u".pnm=image/x-portable-anymap"_s,
        u".pbm=image/x-portable-bitmap"_s,
        u".pgm=image/x-portable-graymap"_s,
        u".ppm=image/x-portable-pixmap"_s,
        u".rgb=image/x-rgb"_s,
        u".xbm=image/x-xbitmap"_s,
        u".xpm=image/x-xpixmap"_s,
        u".xwd=image/x-xwindowdump"_s,
        u".323=text/h323"_s,
        u".xml=text/xml"_s,
        u".uls=text/iuls"_s,
        u".txt=text/plain"_s,
        u".rtx=text/richtext"_s,
        u".wsc=text/scriptlet"_s,
        u".rt=text/vnd.rn-realtext"_s,
        u".htt=text/webviewhtml"_s,
        u".htc=text/x-component"_s,
        u".vcf=text/x-vcard"_s,
        u".avi=video/x-msvideo"_s,
        u".flc=video/flc"_s,
        u".mpeg=video/x-mpeg2a"_s,
        u".mov=video/quicktime"_s,
        u".rv=video/vnd.rn-realvideo"_s,
        u".ivf=video/x-ivf"_s,
        u".wm=video/x-ms-wm"_s,
        u".wmp=video/x-ms-wmp"_s,
        u".wmv=video/x-ms-wmv"_s,
        u".wmx=video/x-ms-wmx"_s,
        u".wvx=video/x-ms-wvx"_s,
        u".rms=video/vnd.rn-realvideo-secure"_s,
        u".asx=video/x-ms-asf-plugin"_s,
        u".movie=video/x-sgi-movie"_s,
        u".wmd=application/x-ms-wmd"_s,
        u".wms=application/x-ms-wms"_s,
        u".wmz=application/x-ms-wmz"_s,
        u".p12=application/x-pkcs12"_s,
        u".p7b=application/x-pkcs7-certificates"_s,
        u".p7r=application/x-pkcs7-certreqresp"_s,
        u".qtl=application/x-quicktimeplayer"_s,
        u".rtsp=application/x-rtsp"_s,
        u".swf=application/x-shockwave-flash"_s,
        u".sit=application/x-stuffit"_s,
        u".tar=application/x-tar"_s,
        u".man=application/x-troff-man"_s,
        u".urls=application/x-url-list"_s,
        u".zip=application/x-zip-compressed"_s,
        u".cdf=application/x-cdf"_s,
        u".fml=application/x-file-mirror-list"_s,
        u".fif=application/fractals"_s,
        u".spl=application/futuresplash"_s,
        u".hta=application/hta"_s,
        u".hqx=application/mac-binhex40"_s,
        u".doc=application/msword"_s,
        u".pdf=application/pdf"_s,
        u".p10=application/pkcs10"_s,
        u".p7m=application/pkcs7-mime"_s,
        u".p7s=application/pkcs7-signature"_s,
        u".cer=application/x-x509-ca-cert"_s,
        u".crl=application/pkix-crl"_s,
        u".ps=application/postscript"_s,
        u".sdp=application/x-sdp"_s,
        u".setpay=application/set-payment-initiation"_s,
        u".setreg=application/set-registration-initiation"_s,
        u".smil=application/smil"_s,
        u".ssm=application/streamingmedia"_s,
        u".xfdf=application/vnd.adobe.xfdf"_s,
        u".fdf=application/vnd.fdf"_s,
        u".xls=application/x-msexcel"_s,
        u".sst=application/vnd.ms-pki.certstore"_s,
        u".pko=application/vnd.ms-pki.pko"_s,
        u".cat=application/vnd.ms-pki.seccat"_s,
        u".stl=application/vnd.ms-pki.stl"_s,
        u".rmf=application/vnd.rmf"_s,
        u".rm=application/vnd.rn-realmedia"_s,
        u".rnx=application/vnd.rn-realplayer"_s,
        u".rjs=application/vnd.rn-realsystem-rjs"_s,
        u".rmx=application/vnd.rn-realsystem-rmx"_s,
        u".rmp=application/vnd.rn-rn_music_package"_s,
        u".rsml=application/vnd.rn-rsml"_s,
        u".vsl=application/x-cnet-vsl"_s,
        u".z=application/x-compress"_s,
        u".tgz=application/x-compressed"_s,
        u".dir=application/x-director"_s,
        u".gz=application/x-gzip"_s,
        u".uin=application/x-icq"_s,
        u".hpf=application/x-icq-hpf"_s,
        u".pnq=application/x-icq-pnq"_s,
        u".scm=application/x-icq-scm"_s,
        u".ins=application/x-internet-signup"_s,
        u".iii=application/x-iphone"_s,
        u".latex=application/x-latex"_s,
        u".nix=application/x-mix-transfer"_s,
        u".wbmp=image/vnd.wap.wbmp"_s,
        u".wml=text/vnd.wap.wml"_s,
        u".wmlc=application/vnd.wap.wmlc"_s,
        u".wmls=text/vnd.wap.wmlscript"_s,
        u".wmlsc=application/vnd.wap.wmlscriptc"_s,
        u".css=text/css"_s,
        u".htm=text/html"_s,
        u".html=text/html"_s,
        u".shtml=server-parsed-html"_s,
        u".xml=text/xml"_s,
        u".sgm=text/sgml"_s,
        u".sgml=text/sgml"_s,
    };
    return rows;
}

QString TMimeTable::Lookup(const QString &fileName) const
{
    const QString name = JustFileName(fileName);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    return Value(name.mid(dot).toLower());
}

QString TMimeTable::Value(const QString &name) const
{
    const auto it = m_index.constFind(name.toLower());
    return it == m_index.cend() ? QString() : m_rows[*it].second;
}

void TMimeTable::Set(const QString &name, const QString &value)
{
    const QString key = name.toLower();
    const auto it = m_index.constFind(key);
    if (it != m_index.cend()) {
        m_rows[*it].second = value;
        return;
    }
    m_index.insert(key, m_rows.size());
    m_rows.append({name, value});
}

QStringList TMimeTable::Rows() const
{
    QStringList rows;
    rows.reserve(m_rows.size());
    for (const auto &[name, value] : m_rows)
        rows.append(name + u'=' + value);
    return rows;
}

void TMimeTable::Clear()
{
    m_rows.clear();
    m_index.clear();
}

void TMimeTable::Fill()
{
    AddFixedRows();
    const QMimeDatabase db;
    AddSystemTypes(SystemExtensionTypes(db), SystemTypeExtensions(db));
}

void TMimeTable::AddFixedRows()
{
    for (const QString &row : FixedRows()) {
        const qsizetype eq = row.indexOf(u'=');
        const QString name = row.left(eq);
        // Appended, not set: a repeated name keeps its own (unreachable) row.
        if (!m_index.contains(name.toLower()))
            m_index.insert(name.toLower(), m_rows.size());
        m_rows.append({name, row.mid(eq + 1)});
    }
}

void TMimeTable::AddSystemTypes(const Pairs &extensionTypes, const Pairs &typeExtensions)
{
    for (auto it = extensionTypes.crbegin(); it != extensionTypes.crend(); ++it)
        if (!it->first.isEmpty() && !it->second.isEmpty())
            Set(it->first, it->second);
    for (auto it = typeExtensions.crbegin(); it != typeExtensions.crend(); ++it)
        if (!it->second.isEmpty())
            Set(it->second, it->first);
}

namespace {

// Only single extensions can ever be looked up ("tar.gz" never is).
bool IsPlainSuffix(const QString &suffix)
{
    return !suffix.isEmpty() && !suffix.contains(u'.');
}

} // namespace

TMimeTable::Pairs TMimeTable::SystemExtensionTypes(const QMimeDatabase &db)
{
    // Extensions are one name each, whatever their letter case; the type a
    // file so named gets is the database's own choice among the types that
    // claim the extension.
    QStringList suffixes;
    for (const QMimeType &type : db.allMimeTypes())
        for (const QString &suffix : type.suffixes())
            if (IsPlainSuffix(suffix))
                suffixes.append(u'.' + suffix.toLower());
    std::sort(suffixes.begin(), suffixes.end());
    suffixes.erase(std::unique(suffixes.begin(), suffixes.end()), suffixes.end());

    Pairs pairs;
    pairs.reserve(suffixes.size());
    for (const QString &ext : std::as_const(suffixes)) {
        const QMimeType type = db.mimeTypeForFile(u"x"_s + ext, QMimeDatabase::MatchExtension);
        if (type.isValid() && !type.isDefault())
            pairs.append({ext, type.name()});
    }
    return pairs;
}

TMimeTable::Pairs TMimeTable::SystemTypeExtensions(const QMimeDatabase &db)
{
    Pairs pairs;
    for (const QMimeType &type : db.allMimeTypes()) {
        const QString suffix = type.preferredSuffix();
        if (IsPlainSuffix(suffix))
            pairs.append({type.name(), u'.' + suffix.toLower()});
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}
