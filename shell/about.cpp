#include "about.h"

#include "links.h"
#include "pictures.h"
#include "userdialogs.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

QLabel *link(const QUrl &url, const QString &text, UserDialogs &dialogs, QWidget *parent)
{
    auto *label = new QLabel(u"<a href=\"%1\" style=\"color: #4080ff;\">%2</a>"_s.arg(
                                 url.toString().toHtmlEscaped(), text.toHtmlEscaped()),
                             parent);
    label->setTextFormat(Qt::RichText);
    label->setCursor(Qt::PointingHandCursor);
    label->setAccessibleName(text);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [&dialogs, url] { dialogs.openUrl(url); });
    return label;
}

QLabel *text(const QString &content, QWidget *parent, QPoint at)
{
    auto *label = new QLabel(content, parent);
    label->move(at);
    return label;
}

} // namespace

AboutBox::AboutBox(UserDialogs &dialogs, QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(u"about"_s);
    setWindowTitle(u"About"_s);
    setFixedSize(226, 193);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    setStyleSheet(u"QDialog, QFrame { background: black; } QLabel { color: white; }"
                  " QFrame#panel { border: 1px solid #3a4250; }"_s);

    // A small box of fixed content: its items sit where they always have.
    auto *upper = new QFrame(this);
    upper->setObjectName(u"panel"_s);
    upper->setGeometry(8, 8, 209, 129);
    auto *icon = new QLabel(upper);
    icon->setPixmap(QPixmap::fromImage(readPicture(u":/art/vkcp.png"_s)));
    icon->setGeometry(8, 8, 32, 32);
    QLabel *product = text(u"VKCP 1.01"_s, upper, { 48, 8 });
    QFont bold = product->font();
    bold.setBold(true);
    product->setFont(bold);
    m_authorLink =
        link(Links::authorMail(), QString::fromLatin1(Links::authorName), dialogs, upper);
    m_authorLink->move(48, 28);
    QLabel *website = text(u"Website : "_s, upper, { 8, 72 });
    website->adjustSize();
    m_webLink = link(Links::webSite(), Links::webSite().host(), dialogs, upper);
    m_webLink->move(std::max(56, website->geometry().right() + 1), 72);
    auto *help = text(u"See readme.txt for more information/help."_s, upper, { 8, 96 });
    help->setWordWrap(true);
    // Two lines of the small font, clear of the panel's border.
    help->setFixedSize(197, 28);

    auto *lower = new QFrame(this);
    lower->setObjectName(u"panel"_s);
    lower->setGeometry(8, 144, 209, 41);
    m_ok = new QPushButton(u"OK"_s, lower);
    m_ok->setGeometry(64, 8, 75, 25);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}
