#pragma once

/**
 * The bytes written to a connected TCP socket that its peer has not yet
 * taken (the kernel's send queue); -1 when the kernel cannot tell.
 */
int UnsentBytes(int socket);
