#include "wizard/ResConst.h"

std::string PageTitles[PageTitleCount] = {
    "Welcome to the %s", "License Agreement", "Specify Home Folder", "Ready to Install", "Installing",
    "Installation Complete", "",
};
