#pragma once

#include <QString>

/**
 * Moves the calling thread, and every thread and process it starts from now
 * on, into a network namespace of its own whose loopback offers multipath TCP
 * two paths (a second address the client opens a second path from), and
 * makes every TCP socket this program opens from now on a multipath one, as
 * `mptcpize run` or a system policy does. Returns why it cannot be done here
 * (the kernel, or our rights), empty once done.
 */
QString UseMultipathTcp();
