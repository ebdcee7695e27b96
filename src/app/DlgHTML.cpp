#include "DlgHTML.h"

#include "MsgDlgs.h"
#include "TDialogBtnPanel.h"
#include "UI.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include <unistd.h>

using namespace Qt::StringLiterals;

/** @short Serves the preview's pages from memory. */
class TPreviewSchemeHandler final : public QWebEngineUrlSchemeHandler {
public:
    explicit TPreviewSchemeHandler(const TPreviewLoader &loader)
        : m_loader(loader)
    {
    }

    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        const std::optional<QByteArray> page = m_loader.Serve(job->requestUrl());
        if (!page) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto *buffer = new QBuffer(job);
        buffer->setData(*page);
        job->reply(TPreviewLoader::ContentType.toByteArray(), buffer);
    }

private:
    const TPreviewLoader &m_loader;
};

/** @short Refuses every request of a page (images, style sheets, frames) that leaves the preview scheme. */
class TPreviewInterceptor final : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        info.block(!PreviewRequestAllowed(info.requestUrl()));
    }
};

/** @short A page that follows no link and no redirection away from the preview scheme. */
class TPreviewPage final : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool) override { return PreviewRequestAllowed(url); }
};

namespace {

const QString LoadErrorChecklist = u"\r\n\r\nPlease check the following:\r\n\r\n"
                                   u"  1. The message file is a complete HTML document\r\n"
                                   u"  2. The web engine of the system (Qt WebEngine) is installed completely"_s;

} // namespace

THTMLDialog::THTMLDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_loader(
          [this](const QUrl &url) {
              // Started from the event loop, never from inside one of the engine's own signals.
              QTimer::singleShot(0, this, [this, url] {
                  if (!m_loader.IsClosing() && m_page)
                      m_page->load(url);
              });
          },
          [this] {
              if (m_page)
                  m_page->triggerAction(QWebEnginePage::Stop);
          })
{
    setWindowTitle(u"HTML Message Preview"_s);
    SetDialogFont(this);
    resize(600, 480);
    setMinimumSize(400, 300);
}

THTMLDialog::~THTMLDialog()
{
    m_loader.Close();
    // The page before its profile, the profile before its handler and interceptor.
    delete Browser;
    Browser = nullptr;
    m_page = nullptr;
    delete m_profile;
}

void THTMLDialog::SetupPreview(PreviewNavigateFn OnNavigate)
{
    m_onNavigate = std::move(OnNavigate);

    Buttons = CreateDialogBtnPanel(this, {bBack, bNext, bClose}, false, 8);
    Buttons->Button(bBack)->setText(u"<< &Prior"_s);
    connect(Buttons, &TDialogBtnPanel::ButtonClicked, this, &THTMLDialog::ButtonClick);

    // A profile of its own, kept in memory only, so nothing of a preview stays behind.
    m_handler = std::make_unique<TPreviewSchemeHandler>(m_loader);
    m_interceptor = std::make_unique<TPreviewInterceptor>();
    m_profile = new QWebEngineProfile();
    m_profile->installUrlSchemeHandler(PreviewScheme.toUtf8(), m_handler.get());
    m_profile->setUrlRequestInterceptor(m_interceptor.get());

    Browser = new QWebEngineView(this);
    m_page = new TPreviewPage(m_profile, Browser);
    QWebEngineSettings *settings = m_page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    settings->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    Browser->setPage(m_page);
    Browser->setContextMenuPolicy(Qt::NoContextMenu);
    connect(m_page, &QWebEnginePage::loadingChanged, this, &THTMLDialog::OnLoadingChanged);

    const QScreen *screen = this->screen();
    if (screen && screen->geometry().width() > 640)
        resize(700, 520);
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    Browser->setGeometry(0, 0, width(), height() - TDialogBtnPanel::BarHeight);
}

void THTMLDialog::SetNavigationEnabled(bool PriorEnabled, bool NextEnabled)
{
    if (!Buttons)
        return;
    Buttons->Button(bBack)->setEnabled(PriorEnabled);
    Buttons->Button(bNext)->setEnabled(NextEnabled);
}

void THTMLDialog::PostReload()
{
    // Handled once the event being handled now is over.
    QMetaObject::invokeMethod(this, &THTMLDialog::LoadPreviewHTML, Qt::QueuedConnection);
}

void THTMLDialog::LoadPreviewHTML()
{
    m_loader.Load(HtmlText);
}

void THTMLDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    PostReload();
}

void THTMLDialog::closeEvent(QCloseEvent *event)
{
    m_loader.Close();
    QDialog::closeEvent(event);
}

void THTMLDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (Browser)
        Browser->setGeometry(0, 0, width(), height() - TDialogBtnPanel::BarHeight);
}

void THTMLDialog::ButtonClick(DialogButtonId id)
{
    if (id == bBack || id == bNext) {
        // A step while a page loads would be lost on the page: ignored.
        if (!m_loader.IsLoading() && m_onNavigate)
            m_onNavigate(id);
    } else if (id == bClose && m_loader.IsLoading()) {
        Buttons->Button(bClose)->setEnabled(false);
        m_loader.Close();
    }
}

void THTMLDialog::OnLoadingChanged(const QWebEngineLoadingInfo &info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus || !m_loader.LoadEnded(info.url()))
        return;
    if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && !m_loader.IsClosing())
        ErrorBox(u"Error loading HTML document.\r\nError Message: "_s + info.errorString() + LoadErrorChecklist);
}

void PrepareHtmlPreview()
{
    QWebEngineUrlScheme scheme(PreviewScheme.toUtf8());
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
    // The engine's sandbox refuses to run as root.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    SetHtmlPreviewFactory([](QWidget *parent, PreviewNavigateFn onNavigate) -> std::unique_ptr<IHtmlPreview> {
        auto dialog = std::make_unique<THTMLDialog>(parent);
        dialog->SetupPreview(std::move(onNavigate));
        return dialog;
    });
}
