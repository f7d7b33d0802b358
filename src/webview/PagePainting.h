#pragma once

#include <filesystem>

namespace quorin {

// How the web engine paints pages on this machine. Without a GPU its default GPU painting runs
// on a software OpenGL that compiles every shader on the processor; painting with the
// processor instead puts the first page on screen sooner (about a sixth of the start).
class PagePainting {
public:
    // The engine's switch; a value the user set stays as it is.
    static constexpr char processorPaintingVariable[] = "WEBKIT_SKIA_ENABLE_CPU_RENDERING";

    // Whether the machine has a GPU the engine can render with: a DRM render node.
    static bool hasGPURenderNode(const std::filesystem::path& driFolder = "/dev/dri");

    // Chooses processor painting when there is no render node. The web processes inherit the
    // environment, so this runs first thing in main, before any thread or web view exists.
    static void chooseForThisMachine();
    // Whether the variable is this choice rather than the user's: programs started for the
    // user, such as the browser, get the environment without it.
    static bool isChosenHere();
};

} // namespace quorin
