#pragma once

// The native commands the page may ask for, carried out by the window layer. Booleans report
// whether the command could act. Main thread only.

#include "core/Url.h"

#include <string>

namespace quorin {

class SystemCommandHandling {
public:
    virtual ~SystemCommandHandling() = default;

    virtual bool openExternal(const Url& url) = 0;
    virtual bool copyText(const std::string& text) = 0;
    virtual bool reveal(const Url& fileURL) = 0;
    virtual bool minimizeWindow() = 0;
    virtual bool toggleMaximizeWindow() = 0;
    virtual bool closeWindow() = 0;
    virtual bool isWindowMaximized() = 0;
    virtual double zoomFactor() = 0;
    virtual double zoomIn() = 0;
    virtual double zoomOut() = 0;
    virtual double resetZoom() = 0;
    virtual bool setAudioMuted(bool muted) = 0;
    virtual bool isAudioMuted() = 0;
};

} // namespace quorin
