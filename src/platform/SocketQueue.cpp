#include "SocketQueue.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>

int UnsentBytes(int socket)
{
    int queued = 0;
    return ::ioctl(socket, SIOCOUTQ, &queued) == 0 ? queued : -1;
}
