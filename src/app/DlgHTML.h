#pragma once

#include "HtmlPreview.h"
#include "PreviewLoader.h"

#include <QDialog>

#include <memory>

class QWebEngineLoadingInfo;
class QWebEngineProfile;
class QWebEngineView;
class TDialogBtnPanel;
class TPreviewInterceptor;
class TPreviewPage;
class TPreviewSchemeHandler;

/**
 * @short The HTML preview: the personalised body rendered by the web engine,
 * with "<< &Prior" and "&Next >>" to step through the mailing list.
 *
 * Pages come from memory through the preview scheme; JavaScript is off and
 * every request or navigation that leaves the scheme is refused, so a preview
 * fetches nothing from the network. Loads are driven by the engine's events:
 * the buttons to step are ignored while a page loads, and closing stops it.
 */
class THTMLDialog final : public QDialog, public IHtmlPreview {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(THTMLDialog)

public:
    explicit THTMLDialog(QWidget *parent = nullptr);
    ~THTMLDialog() override;

    /** Completes the dialog once after creation: the buttons, the browser and the size. */
    void SetupPreview(PreviewNavigateFn OnNavigate);

    void SetNavigationEnabled(bool PriorEnabled, bool NextEnabled) override;
    void SetHtmlText(const QString &html) override { HtmlText = html; }
    void PostReload() override;
    void Execute() override { exec(); }

    /** Puts HtmlText into the browser (after the load in progress, if any). */
    void LoadPreviewHTML();

    /** The HTML to show. */
    QString HtmlText;
    /** nullptr before SetupPreview. */
    QWebEngineView *Browser = nullptr;
    TDialogBtnPanel *Buttons = nullptr;
    const TPreviewLoader &Loader() const { return m_loader; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void ButtonClick(DialogButtonId id);
    void OnLoadingChanged(const QWebEngineLoadingInfo &info);

    PreviewNavigateFn m_onNavigate;
    TPreviewLoader m_loader;
    std::unique_ptr<TPreviewSchemeHandler> m_handler;
    std::unique_ptr<TPreviewInterceptor> m_interceptor;
    QWebEngineProfile *m_profile = nullptr;
    TPreviewPage *m_page = nullptr;
    bool m_shown = false;
};

/**
 * Readies the program for the preview; call before the application object
 * exists: registers the preview scheme, lets the engine run without its
 * sandbox when the program runs as root (the sandbox refuses to), and
 * installs the preview as the main window's factory.
 */
void PrepareHtmlPreview();
