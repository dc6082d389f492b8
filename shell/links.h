#pragma once

#include <QUrl>

// Where the program's links lead: its web site, its author and its update check.
namespace Links {

inline constexpr char authorName[] = "The VK Control Panel team";

QUrl webSite();
QUrl authorMail();
// The update page learns which program asks, and in which version, from the query.
QUrl updateCheck();

} // namespace Links
