#pragma once
// Reads an address over HTTP(S) and waits for the answer (the user waits for
// the import anyway): the body, or an empty array and the reason. Redirects
// are followed; a status other than 2xx is a failure.

#include <QByteArray>
#include <QString>

namespace catalogs {

inline constexpr int kFetchTimeoutMs = 20000;

QByteArray FetchUrl(const QString& url, QString& error, int timeoutMs = kFetchTimeoutMs);

} // namespace catalogs
