#pragma once

#include <QUrl>
#include <functional>

// Opens an address in the user's default browser.
using UrlOpener = std::function<void(const QUrl&)>;
