#pragma once

#include "core/Url.h"

namespace quorin {

// Asks the desktop to open the URL with the user's default handler; whether it could.
bool openWithDefaultHandler(const Url& url);

} // namespace quorin
