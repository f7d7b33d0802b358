#include "LauncherApplication.h"

int main(int argc, char** argv)
{
    quorin::LauncherApplication application;
    return application.run(argc, argv);
}
