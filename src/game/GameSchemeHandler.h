#pragma once

// The web engine's side of the game scheme: each request of "quorin-game" is resolved by the
// GameResourceResolver and answered with status 200 and its headers, or failed with the one
// error the page may see (domain "QuorinGame", code 1), before `start` returns. Runtime files
// go to the engine as a stream over the checked mapping, never copied into another buffer.
// Main thread only.

#include "GameResourceResolver.h"

typedef struct _WebKitURISchemeRequest WebKitURISchemeRequest;

namespace quorin {

class GameSchemeHandler {
public:
    explicit GameSchemeHandler(GameResourceResolver resolver)
        : m_resolver(std::move(resolver))
    {
    }

    void start(WebKitURISchemeRequest* request) const;

private:
    GameResourceResolver m_resolver;
};

} // namespace quorin
