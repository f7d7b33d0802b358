#include "LauncherApplication.h"
#include "webview/PagePainting.h"

int main(int argc, char** argv)
{
    quorin::PagePainting::chooseForThisMachine();
    quorin::LauncherApplication application;
    return application.run(argc, argv);
}
