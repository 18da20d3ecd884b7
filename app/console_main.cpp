// brenvik-console: the product. It takes no options and talks to the units on their own ports.
#include "console_application.h"
#include "console_pages.h"
#include "main_window.h"

int main(int argc, char** argv) {
    auto application = brenvik::MakeConsoleApplication(argc, argv);
    brenvik::CVARNOLUX_16_VIEWDlg window({brenvik::Endpoints{}, brenvik::PrimaryScreenScale(), nullptr});
    brenvik::RegisterConsolePages(window);
    window.exec();
    return 0;
}
