#include "platform/SocketSystem.h"

#include <cerrno>
#include <map>
#include <poll.h>
#include <unistd.h>

namespace qm {

void startSockets() {}

void closeSocket(NativeSocket s) {
    if (s >= 0) ::close(static_cast<int>(s));
}

int lastSocketError() {
    return socketErrorCode(errno);
}

int socketErrorCode(int err) {
    static const std::map<int, int> codes = {
        {EINTR, 10004},           {EBADF, 10009},           {EACCES, 10013},        {EPERM, 10013},
        {EFAULT, 10014},          {EINVAL, 10022},          {EMFILE, 10024},        {ENFILE, 10024},
        {EAGAIN, 10035},          {EINPROGRESS, 10036},     {EALREADY, 10037},      {ENOTSOCK, 10038},
        {EDESTADDRREQ, 10039},    {EMSGSIZE, 10040},        {EPROTOTYPE, 10041},    {ENOPROTOOPT, 10042},
        {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045},    {EPFNOSUPPORT, 10046},
        {EAFNOSUPPORT, 10047},    {EADDRINUSE, 10048},      {EADDRNOTAVAIL, 10049}, {ENETDOWN, 10050},
        {ENETUNREACH, 10051},     {ENETRESET, 10052},       {ECONNABORTED, 10053},  {ECONNRESET, 10054},
        {EPIPE, 10054},           {ENOBUFS, 10055},         {EISCONN, 10056},       {ENOTCONN, 10057},
        {ESHUTDOWN, 10058},       {ETOOMANYREFS, 10059},    {ETIMEDOUT, 10060},     {ECONNREFUSED, 10061},
        {ELOOP, 10062},           {ENAMETOOLONG, 10063},    {EHOSTDOWN, 10064},     {EHOSTUNREACH, 10065},
        {ENOTEMPTY, 10066},
    };
    auto it = codes.find(err);
    return it == codes.end() ? err : it->second;
}

bool socketReadableWithin(NativeSocket s, int waitMs) {
    pollfd p{static_cast<int>(s), POLLIN, 0};
    for (;;) {
        const int rc = ::poll(&p, 1, waitMs);
        if (rc < 0 && errno == EINTR) continue;
        return rc != 0;
    }
}

} // namespace qm
