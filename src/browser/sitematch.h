#pragma once

#include <QUrl>

// Whether page lies on the same site as home: the same registrable domain (the public suffix list decides where
// that begins), or for a host without one (an IP address, localhost) the very same host. A page on plain http is
// never the same site as an https home.
bool sameSite(const QUrl &home, const QUrl &page);
