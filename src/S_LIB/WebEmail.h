#pragma once

#include <QString>

#include <cerrno>
#include <functional>

class QUrl;

// Documents and addresses are handed to the desktop (the default browser,
// mail program or viewer) instead of being shown by the program itself.

/**
 * Opens a web address, a local file or any other desktop target. An absolute
 * path opens as a file, an address without ':' as "http://" + address. On
 * failure the reason is shown in an error box and the result is false.
 */
bool OpenURL(const QString &address);

/** Error box with the system's text for an error number (by default the last one). */
void ShowLastError(int errorCode = errno);

/** The help page, "bry_help.htm" in the data folder. */
QString HelpPagePath();
/** Opens the help page; a missing page gives the "file not found" error box. */
bool OpenHelpPage();

/** The maker's home page, a full address. */
QString HomePageURL();
/** The home page's host name without a scheme (the "Velko Online" command passes it to OpenURL). */
QString HomePageHost();
/** The address support mail goes to. */
QString SupportEmail();

/** Opens the maker's home page; an error box asks to set up a web browser when that fails. */
bool OpenHomePage();
/** Starts a message to SupportEmail() in the mail program; an error box asks to set one up when that fails. */
bool OpenSupportMail();

/**
 * Test hook: while set, every address goes to the hook instead of the desktop;
 * its result stands for whether the desktop could open it. Pass nullptr to
 * restore.
 */
using UrlOpenHook = std::function<bool(const QUrl &url)>;
void SetUrlOpenHook(UrlOpenHook hook);
