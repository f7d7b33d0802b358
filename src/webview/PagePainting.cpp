#include "PagePainting.h"

#include <cstdlib>

namespace quorin {

static bool chosenHere = false;

bool PagePainting::hasGPURenderNode(const std::filesystem::path& driFolder)
{
    std::error_code error;
    for (std::filesystem::directory_iterator entry(driFolder, error), end; !error && entry != end; entry.increment(error)) {
        if (entry->path().filename().string().starts_with("renderD"))
            return true;
    }
    return false;
}

void PagePainting::chooseForThisMachine()
{
    if (std::getenv(processorPaintingVariable) || hasGPURenderNode())
        return;
    chosenHere = setenv(processorPaintingVariable, "1", 0) == 0;
}

bool PagePainting::isChosenHere()
{
    return chosenHere;
}

} // namespace quorin
