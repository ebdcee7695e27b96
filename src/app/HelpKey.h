#pragma once

class QWidget;

/**
 * F1 pressed anywhere in the window, whatever the shift state, opens the help
 * page. The key is looked at before the focused control sees it; the hook
 * lives as long as the window.
 */
void InstallHelpKey(QWidget *window);
