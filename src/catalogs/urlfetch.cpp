#include "urlfetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace catalogs {

QByteArray FetchUrl(const QString& url, QString& error, int timeoutMs)
{
    error.clear();
    const QUrl address = QUrl::fromUserInput(url.trimmed());
    if (!address.isValid() || address.scheme().isEmpty()) {
        error = QStringLiteral("adresa nu este valida");
        return {};
    }
    QNetworkAccessManager network;
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = network.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    QByteArray body;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError)
        error = reply->errorString();
    else if (status != 0 && (status < 200 || status > 299))
        error = QStringLiteral("raspuns HTTP %1").arg(status);
    else
        body = reply->readAll();
    reply->deleteLater();
    return body;
}

} // namespace catalogs
