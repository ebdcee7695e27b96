#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <functional>
#include <optional>

/** The scheme the HTML preview serves its pages on; registered before the application object exists. */
inline constexpr QStringView PreviewScheme = u"vc-preview";

/** True for the addresses the preview may load: its own pages, and nothing that leaves the program. */
bool PreviewRequestAllowed(const QUrl &url);

/**
 * @short The pages of the HTML preview and the order of their loads, without
 * the web engine.
 *
 * Every text shown gets an address of its own on the preview scheme and is
 * served from memory as UTF-8. A load starts only once the one before it has
 * ended; a newer text replaces one still waiting. Closing stops a load in
 * progress, and nothing loads afterwards.
 */
class TPreviewLoader final {
public:
    /** The engine's two operations: load an address, stop the load in progress. */
    using StartFn = std::function<void(const QUrl &url)>;
    using StopFn = std::function<void()>;

    /** The content type every page is served with. */
    static constexpr QByteArrayView ContentType = "text/html;charset=utf-8";

    TPreviewLoader(StartFn start, StopFn stop);

    /** Shows the HTML: at once, or right after the load in progress. */
    void Load(const QString &html);
    /**
     * The engine ended the load of url (done, failed or stopped). True when url
     * was the page in progress; a waiting text then starts.
     */
    bool LoadEnded(const QUrl &url);
    bool IsLoading() const { return m_loading; }

    /** Stops a load in progress; later texts are not loaded. */
    void Close();
    bool IsClosing() const { return m_closing; }

    /** The page at url as UTF-8, or nothing for any other address. */
    std::optional<QByteArray> Serve(const QUrl &url) const;
    /** The address of the page loaded last; empty before the first. */
    QUrl CurrentUrl() const { return m_url; }

private:
    void Start(const QString &html);

    StartFn m_start;
    StopFn m_stop;
    QUrl m_url;
    QByteArray m_page;
    std::optional<QString> m_waiting;
    quint64 m_pageCount = 0;
    bool m_loading = false;
    bool m_closing = false;
};
