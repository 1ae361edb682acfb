#include "sitematch.h"

#include <QHostAddress>

#include <libpsl.h>

namespace {

// The registrable domain of a host in lower case, or empty when it has none.
QByteArray registrableDomain(const QString &host)
{
    if (!QHostAddress(host).isNull())
        return {};
    // The newer of the library's built-in list and the system's copy; kept for the program's life.
    static const psl_ctx_t *const list = [] {
        const psl_ctx_t *latest = psl_latest(nullptr);
        return latest ? latest : psl_builtin();
    }();
    const QByteArray name = host.toUtf8();
    const char *domain = list ? psl_registrable_domain(list, name.constData()) : nullptr;
    return domain ? QByteArray(domain) : QByteArray();
}

} // namespace

bool sameSite(const QUrl &home, const QUrl &page)
{
    // QUrl keeps hosts in lower case, international names as Unicode.
    const QString homeHost = home.host(), pageHost = page.host();
    if (homeHost.isEmpty() || pageHost.isEmpty())
        return false;
    if (home.scheme() == QLatin1String("https") && page.scheme() != QLatin1String("https"))
        return false;
    const QByteArray homeDomain = registrableDomain(homeHost), pageDomain = registrableDomain(pageHost);
    if (homeDomain.isEmpty() || pageDomain.isEmpty())
        return homeHost == pageHost;
    return homeDomain == pageDomain;
}
