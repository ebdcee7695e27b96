#pragma once

#include "DialogButtons.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

/**
 * @short The HTML preview as the main window drives it.
 *
 * The dialog itself renders with the web engine and lives in a library of
 * its own that only the program links; the main window reaches it through
 * this interface and the factory the program installs at start.
 */
class IHtmlPreview {
public:
    virtual ~IHtmlPreview() = default;

    /** Enables "<< &Prior" and "&Next >>". */
    virtual void SetNavigationEnabled(bool PriorEnabled, bool NextEnabled) = 0;
    /** The HTML the next load shows. */
    virtual void SetHtmlText(const QString &html) = 0;
    /** Loads the HTML text once the event being handled is over. */
    virtual void PostReload() = 0;
    /** Shows the preview modally; returns when it has been closed. */
    virtual void Execute() = 0;
};

/** Reports a click on "<< &Prior" (bBack) or "&Next >>" (bNext) to the main window. */
using PreviewNavigateFn = std::function<void(DialogButtonId button)>;
/** Creates a preview over the parent window, set up with the navigation callback. */
using HtmlPreviewFactory = std::function<std::unique_ptr<IHtmlPreview>(QWidget *parent, PreviewNavigateFn onNavigate)>;

/** Installs the factory (the program: the web-engine dialog; tests: a fake). nullptr removes it. */
void SetHtmlPreviewFactory(HtmlPreviewFactory factory);
/** A new preview from the installed factory, or nullptr when none is installed. */
std::unique_ptr<IHtmlPreview> CreateHtmlPreview(QWidget *parent, PreviewNavigateFn onNavigate);
