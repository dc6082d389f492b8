#include "links.h"

#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {
const QString kHost = u"vkcp.example.org"_s;
}

namespace Links {

QUrl webSite()
{
    QUrl url;
    url.setScheme(u"http"_s);
    url.setHost(kHost);
    url.setPath(u"/"_s);
    return url;
}

QUrl authorMail()
{
    return QUrl(u"mailto:team@"_s + kHost);
}

QUrl updateCheck()
{
    QUrl url = webSite();
    url.setPath(u"/cgi/autoupdate.cgi"_s);
    QUrlQuery query;
    query.addQueryItem(u"id"_s, u"vkcp"_s);
    query.addQueryItem(u"ver"_s, u"101"_s);
    url.setQuery(query);
    return url;
}

} // namespace Links
