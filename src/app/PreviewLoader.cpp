#include "PreviewLoader.h"

using namespace Qt::StringLiterals;

bool PreviewRequestAllowed(const QUrl &url)
{
    // No tracking pixel, style sheet or frame of a message may be fetched
    // while it is previewed: the preview's own pages are all it may load.
    return url.scheme().compare(PreviewScheme, Qt::CaseInsensitive) == 0;
}

TPreviewLoader::TPreviewLoader(StartFn start, StopFn stop)
    : m_start(std::move(start))
    , m_stop(std::move(stop))
{
}

void TPreviewLoader::Load(const QString &html)
{
    if (m_closing)
        return;
    if (m_loading)
        m_waiting = html;
    else
        Start(html);
}

void TPreviewLoader::Start(const QString &html)
{
    m_page = html.toUtf8();
    // A new address per text: the engine never shows an earlier page for a later one.
    m_url = QUrl(PreviewScheme.toString() + u":page-"_s + QString::number(++m_pageCount));
    m_loading = true;
    m_start(m_url);
}

bool TPreviewLoader::LoadEnded(const QUrl &url)
{
    if (!m_loading || url.path() != m_url.path() || url.scheme() != m_url.scheme())
        return false;
    m_loading = false;
    if (m_waiting && !m_closing) {
        const QString next = *m_waiting;
        m_waiting.reset();
        Start(next);
    }
    return true;
}

void TPreviewLoader::Close()
{
    m_closing = true;
    m_waiting.reset();
    if (m_loading) {
        m_loading = false;
        m_stop();
    }
}

std::optional<QByteArray> TPreviewLoader::Serve(const QUrl &url) const
{
    if (m_url.isEmpty() || url.scheme() != m_url.scheme() || url.path() != m_url.path())
        return std::nullopt;
    return m_page;
}
